// The real program on a real desktop (Xvfb with openbox): exact titles, the
// main window's frame over the work area, the notes window's outer size, a
// message box never hidden under a tool window, and a pattern file given at
// start-up.
#include "DesktopProgram.h"

#include <QFile>
#include <QUrl>

TEST_F(WindowManagerTest, TitlesFramesAndStackingUnderOpenbox)
{
    Program program(desktop, folder.path());

    XDesktop::Window main = 0;
    ASSERT_TRUE(XDesktop::waitFor([&] { return (main = desktop.findWindow(MainTitle)) != 0; }))
        << "no window titled exactly " << MainTitle.toStdString();
    const QRect workArea = desktop.workArea();
    ASSERT_FALSE(workArea.isEmpty());
    EXPECT_TRUE(XDesktop::waitFor([&] { return desktop.frameGeometry(main) == workArea; }));
    const QMargins frame = desktop.frameExtents(main);
    EXPECT_GT(frame.top(), 0) << "the window manager gave the main window no title bar";
    EXPECT_EQ(desktop.frameGeometry(main), workArea);

    // New with its dialog's defaults; Enter is OK there.
    ASSERT_TRUE(desktop.xdotool({ "windowactivate", "--sync", QString::number(main), "key", "ctrl+n" }));
    XDesktop::Window dialog = 0;
    ASSERT_TRUE(XDesktop::waitFor([&] { return (dialog = desktop.findWindow(NewTitle)) != 0; }));
    ASSERT_TRUE(desktop.xdotool({ "key", "Return" }));
    ASSERT_TRUE(XDesktop::waitFor([&] { return !desktop.stacking().contains(dialog); }));

    // The read-out window came with the pattern; its caption is empty and stays so.
    EXPECT_TRUE(XDesktop::waitFor([&] { return desktop.findWindow(QString()) != 0; }))
        << "no window with an empty title";

    // The notes button sits at x 646 of the tool bar, just under the menu bar.
    ASSERT_TRUE(desktop.xdotool({ "mousemove", "--window", QString::number(main), "657", "35", "click", "1" }));
    XDesktop::Window notes = 0;
    ASSERT_TRUE(XDesktop::waitFor([&] { return (notes = desktop.findWindow(NotesTitle)) != 0; }));
    const QSize notesSize(359, 229);
    const QRect mainFrame = desktop.frameGeometry(main);
    const QRect expectedNotes(mainFrame.left() + (mainFrame.width() - notesSize.width()) / 2,
        mainFrame.top() + (mainFrame.height() - notesSize.height()) / 2, notesSize.width(), notesSize.height());
    EXPECT_TRUE(XDesktop::waitFor([&] { return desktop.frameGeometry(notes) == expectedNotes; }));
    EXPECT_EQ(desktop.frameGeometry(notes), expectedNotes);

    // New again asks whether to save; the question must stand above the notes window.
    ASSERT_TRUE(desktop.xdotool({ "windowactivate", "--sync", QString::number(main), "key", "ctrl+n" }));
    XDesktop::Window question = 0;
    ASSERT_TRUE(XDesktop::waitFor([&] { return (question = desktop.findWindow(NewTitle)) != 0; }));
    const QList<XDesktop::Window> stacking = desktop.stacking();
    EXPECT_GT(stacking.indexOf(question), stacking.indexOf(notes));
    EXPECT_GT(stacking.indexOf(notes), stacking.indexOf(main));
    for (XDesktop::Window window : stacking)
        EXPECT_LE(stacking.indexOf(window), stacking.indexOf(question))
            << "window " << window << " is above the question";
    EXPECT_TRUE(program.running());
}

TEST_F(WindowManagerTest, PatternGivenAtStartUpOpensOrIsRefusedAndTheProgramGoesOn)
{
    // A 1 x 1 pattern (version, counts, 16 slots, one cell), and the same cut short.
    const QByteArray good = QByteArray("\2\0\0\0\1\0\0\0\1\0\0\0", 12) + QByteArray(68, '\0');
    const std::pair<QString, QByteArray> cases[]
        = { { "good.plw", good }, { QUrl::fromLocalFile(folder.filePath("url.plw")).toString(), good },
              { "damaged.plw", good.left(40) }, { "missing.plw", {} } };
    for (const auto &[argument, bytes] : cases) {
        SCOPED_TRACE(argument.toStdString());
        QFile file(folder.filePath(QUrl(argument).fileName()));
        ASSERT_TRUE(bytes.isEmpty() || (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size()));
        file.close();
        Program program(desktop, folder.path(), { argument, QStringLiteral("ignored.plw") });
        ASSERT_TRUE(XDesktop::waitFor([&] { return desktop.findWindow(MainTitle) != 0; }));
        // An open pattern shows the read-out window (empty title); a refusal, the error report.
        const QString expected = bytes == good ? QString() : QStringLiteral("Purlwise");
        XDesktop::Window shown = 0;
        ASSERT_TRUE(XDesktop::waitFor([&] { return (shown = desktop.findWindow(expected)) != 0; }));
        if (bytes != good) {
            ASSERT_TRUE(desktop.xdotool({ "windowactivate", "--sync", QString::number(shown), "key", "Return" }));
            EXPECT_TRUE(XDesktop::waitFor([&] { return !desktop.stacking().contains(shown); }));
            EXPECT_EQ(desktop.findWindow(QString()), 0u) << "a pattern opened after the refusal";
        }
        EXPECT_TRUE(program.running());
    }
}
