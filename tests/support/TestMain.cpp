// gtest main for the window tests: one application object for the whole run,
// on the offscreen platform unless a display was asked for.
#include "ui/Application.h"

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    PurlwiseApplication app(argc, argv);
    InstallRussianTranslations(app);
    return RUN_ALL_TESTS();
}
