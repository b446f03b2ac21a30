// What the user meets through the window manager: input during start-up, the
// read-out window's title bar, closing and minimising tool windows, and the
// keyboard after a dialog opened from the notes window.
#include "DesktopProgram.h"

#include <QFile>
#include <QThread>
#include <utility>

TEST_F(WindowManagerTest, InputDuringStartUpAlwaysReachesTheNewDialog)
{
    // On a busy machine the program may get its main window's first expose
    // and the user's input in one go: here it is held back while its window
    // is mapped and the user clicks the New button and presses Ctrl+N.
    int held = 0;
    for (int start = 0; start < 10 && held < 3; ++start) {
        QTemporaryDir runFolder;
        desktop.pauseWindowManager(true); // the window waits to be mapped
        Program program(desktop, runFolder.path());
        // Once its window exists and it has idled for a while, it has asked for the map and waits.
        XDesktop::Window main = 0;
        int idle = 0;
        const bool made = XDesktop::waitFor([&] {
            main = desktop.findAnyWindow(MainTitle);
            idle = main != 0 && program.sleeping() ? idle + 1 : 0;
            return idle == 10;
        });
        program.pause(true);
        desktop.pauseWindowManager(false);
        // A start that had not asked for the map yet is not counted.
        const bool mapped = made && XDesktop::waitFor([&] { return desktop.viewable(main); }, 3000);
        if (mapped) {
            EXPECT_TRUE(desktop.xdotool({ "mousemove", "--window", QString::number(main), "11", "35", "click", "1" }));
            EXPECT_TRUE(desktop.xdotool({ "key", "ctrl+n" }));
        }
        program.pause(false);
        if (!mapped)
            continue;
        ++held;
        XDesktop::waitFor([&] { return desktop.findWindow(NewTitle) != 0 || !program.running(); });
        ASSERT_TRUE(program.running()) << "start " << start << ": the program died";
        ASSERT_NE(desktop.findWindow(NewTitle), 0u) << "start " << start;
    }
    EXPECT_EQ(held, 3) << "the program could not be held back while its window was mapped";
}

TEST_F(WindowManagerTest, ToolWindowsStayWithinReachOfTheWindowManager)
{
    Program program(desktop, folder.path());
    const XDesktop::Window main = mainWindow();
    ASSERT_NE(main, 0u);
    newPattern(main);
    XDesktop::Window readOut = 0;
    ASSERT_TRUE(XDesktop::waitFor([&] { return (readOut = desktop.findWindow(QString())) != 0; }));

    // Its own title bar, as the window manager's frame would bring buttons.
    EXPECT_TRUE(desktop.frameExtents(readOut).isNull()) << "the window manager framed the read-out window";
    // Dragged by its title bar, it follows the pointer. A busy machine may take
    // the press late, so a drag that found the window still settling is tried once more.
    QRect before, after;
    const auto drag = [&] {
        int still = 0; // where it settles: the same place for half a second
        if (!XDesktop::waitFor([&] { return (std::exchange(before, desktop.clientGeometry(readOut)) == before ? ++still : still = 0) == 10; }))
            return false;
        const QPoint grip = before.topLeft() + QPoint(20, 4);
        const QPoint to = grip + QPoint(60, 40);
        if (!desktop.xdotool({ "mousemove", QString::number(grip.x()), QString::number(grip.y()), "mousedown", "1" }))
            return false;
        // The program has handed the drag to the window manager once it idles; the
        // window manager follows the pointer from its next move on, however late.
        int idle = 0;
        XDesktop::waitFor([&] { return (idle = program.sleeping() ? idle + 1 : 0) == 5; });
        const bool followed = XDesktop::waitFor([&] {
            desktop.xdotool({ "mousemove", QString::number(to.x() + 1), QString::number(to.y()), "mousemove",
                QString::number(to.x()), QString::number(to.y()) });
            return (after = desktop.clientGeometry(readOut)) == before.translated(to - grip);
        }, 10000);
        desktop.xdotool({ "mouseup", "1" });
        return followed;
    };
    const bool followed = drag() || drag();
    EXPECT_TRUE(followed) << "the read-out window did not follow its title bar: from " << before.x() << ","
                          << before.y() << " to " << after.x() << "," << after.y();

    // Closing it through the window manager is refused.
    ASSERT_TRUE(desktop.xdotool({ "windowactivate", "--sync", QString::number(readOut), "key", "alt+F4" }));
    QThread::msleep(1500);
    EXPECT_TRUE(desktop.viewable(readOut)) << "the read-out window was closed";

    // Minimising a tool window never takes the main window with it: the
    // read-out comes back, the notes window is hidden as by its close box.
    const auto minimise = [&](XDesktop::Window tool) {
        ASSERT_TRUE(desktop.xdotool({ "windowactivate", "--sync", QString::number(tool) }));
        ASSERT_TRUE(desktop.xdotool({ "windowminimize", QString::number(tool) }));
        QThread::msleep(1500);
        EXPECT_TRUE(XDesktop::waitFor([&] { return !desktop.iconic(main) && desktop.viewable(main); }))
            << "the main window went with the tool window";
    };
    minimise(readOut);
    EXPECT_TRUE(XDesktop::waitFor([&] { return desktop.viewable(readOut); })) << "the read-out did not come back";

    ASSERT_TRUE(desktop.xdotool({ "mousemove", "--window", QString::number(main), "657", "35", "click", "1" }));
    XDesktop::Window notes = 0;
    ASSERT_TRUE(XDesktop::waitFor([&] { return (notes = desktop.findWindow(NotesTitle)) != 0; }));
    minimise(notes);
    EXPECT_TRUE(XDesktop::waitFor([&] { return desktop.findWindow(NotesTitle) == 0; }))
        << "the notes window was not hidden";
    // Its button was released: one click shows the window again.
    ASSERT_TRUE(desktop.xdotool({ "mousemove", "--window", QString::number(main), "657", "35", "click", "1" }));
    EXPECT_TRUE(XDesktop::waitFor([&] { return desktop.findWindow(NotesTitle) != 0; }));
    EXPECT_TRUE(program.running());
}

TEST_F(WindowManagerTest, TypingGoesOnInTheNotesAfterASaveFromThere)
{
    Program program(desktop, folder.path());
    const XDesktop::Window main = mainWindow();
    ASSERT_NE(main, 0u);
    newPattern(main);
    ASSERT_TRUE(desktop.xdotool({ "mousemove", "--window", QString::number(main), "657", "35", "click", "1" }));
    XDesktop::Window notes = 0;
    ASSERT_TRUE(XDesktop::waitFor([&] { return (notes = desktop.findWindow(NotesTitle)) != 0; }));
    ASSERT_TRUE(desktop.xdotool({ "windowactivate", "--sync", QString::number(notes) }));

    // Each save: Ctrl+S, the file name, Enter on the success box.
    const QString file = folder.filePath(QStringLiteral("notes.plw"));
    const auto typeAndSave = [&](const QString &text, const QString &fileName) {
        ASSERT_TRUE(desktop.xdotool({ "type", "--delay", "30", text }));
        const QList<XDesktop::Window> before = desktop.stacking();
        XDesktop::Window modal = 0; // the save dialog, then the success box
        const auto nextModal = [&] {
            const XDesktop::Window last = std::exchange(modal, 0);
            return XDesktop::waitFor([&] {
                for (XDesktop::Window window : desktop.stacking())
                    modal = !before.contains(window) && window != last ? window : modal;
                return modal != 0 && desktop.activeWindow() == modal;
            });
        };
        ASSERT_TRUE(desktop.xdotool({ "key", "ctrl+s" }));
        ASSERT_TRUE(nextModal()) << "no save dialog";
        ASSERT_TRUE(desktop.xdotool({ "type", "--delay", "10", fileName }));
        ASSERT_TRUE(desktop.xdotool({ "key", "Return" }));
        ASSERT_TRUE(nextModal()) << "no success box";
        ASSERT_TRUE(desktop.xdotool({ "key", "Return" }));
        EXPECT_TRUE(XDesktop::waitFor([&] { return desktop.activeWindow() == notes; }, 5000))
            << "the keyboard did not come back to the notes window";
    };
    typeAndSave(QStringLiteral("abc"), file);
    typeAndSave(QStringLiteral("def"), QString()); // the name last chosen is offered again
    QFile notesFile(file + QStringLiteral(".txt"));
    ASSERT_TRUE(notesFile.open(QIODevice::ReadOnly));
    EXPECT_EQ(notesFile.readAll(), QByteArray("abcdef")) << "keys typed after the success box were lost";
}
