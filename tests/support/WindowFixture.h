#pragma once
// A fresh set of the eleven windows per test, answering dialogs from a script.

#include "support/ScriptedDialogs.h"
#include "ui/Application.h"
#include "ui/Main.h"

#include <gtest/gtest.h>
#include <memory>

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Runs New through its dialog with the given counts (OK pressed).
    void newPattern(int stitches, int rows);

    // Whether the widget, as it paints itself, shows every opaque pixel of the picture somewhere.
    static bool showsPicture(QWidget &widget, const QImage &picture);

    ScriptedDialogs dialogs;
    std::unique_ptr<ApplicationWindows> windows;
    TMainForm *form = nullptr;
};
