// gtest main for the window tests: one application object for the whole run,
// on the offscreen platform unless a display was asked for.
#include "ui/Application.h"

#include <QtGlobal>

#include <gtest/gtest.h>

namespace {
// The offscreen platform says what it cannot do on every window; that is noise here.
void quietPlatformNotes(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtWarningMsg && message.startsWith(QLatin1String("This plugin does not support")))
        return;
    qt_message_output(type, context, message);
}
} // namespace

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quietPlatformNotes);
    ::testing::InitGoogleTest(&argc, argv);
    PurlwiseApplication app(argc, argv);
    InstallRussianTranslations(app);
    return RUN_ALL_TESTS();
}
