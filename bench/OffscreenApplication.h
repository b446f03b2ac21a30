#pragma once
// The one application object a window benchmark needs, offscreen unless the
// caller chose a platform.

#include <QApplication>

inline QApplication &offscreenApplication()
{
    static int argc = 1;
    static char name[] = "purlwise_bench";
    static char *argv[] = { name, nullptr };
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(argc, argv);
    return app;
}
