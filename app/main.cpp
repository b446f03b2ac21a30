#include "ui/Main.h"
#include "ui/Application.h"
#include "ui/IncomingFiles.h"
#include "ui/UserDialogs.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv)
{
    // Without a display Qt would abort with a platform error; say how to start instead.
    const bool hasDisplay = std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY") || std::getenv("QT_QPA_PLATFORM");
    if (!hasDisplay) {
        std::fprintf(stderr,
            "Purlwise is a desktop program and needs a display.\n"
            "On a machine without one, start it under a virtual display:\n"
            "    xvfb-run -a %s\n",
            argv[0]);
        return 1;
    }

    PurlwiseApplication app(argc, argv);
    InstallRussianTranslations(app);
    QtUserDialogs dialogs;
    app.setDialogs(&dialogs);

    ApplicationWindows windows(dialogs, ApplicationWindows::Companions::AfterFirstPaint);
    if (!windows.created())
        return 0; // the failure has been reported
    QObject::connect(&windows.main(), &TMainForm::closedForGood, &app, &QCoreApplication::quit, Qt::QueuedConnection);
    // A file manager passes the pattern file the user opened.
    if (const QString fileName = StartupPatternFile(app.arguments()); !fileName.isEmpty())
        windows.whenComplete([&windows, fileName] { windows.main().openPatternFile(fileName); });
    windows.main().show();
    app.exec();
    return 0;
}
