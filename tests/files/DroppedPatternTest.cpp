// A pattern file dropped on the main window opens as Open does: with no
// pattern at once, with one after the save question; anything else is left.
#include "support/DragAndDrop.h"
#include "support/FileSupport.h"
#include "support/WindowFixture.h"
#include "ui/FileNames.h"
#include "ui/GridView.h"
#include "ui/Memo.h"

#include "model/PatternFile.h"

#include <QTemporaryDir>

using DroppedPatternTest = WindowTest;

TEST_F(DroppedPatternTest, OpensAsOpenWouldAndNothingElseIsTaken)
{
    QTemporaryDir folder;
    const auto put = [&](const QString &name, std::int32_t stitches) {
        model::Pattern pattern;
        model::CreateBlank(pattern, stitches, 2);
        const std::vector<std::uint8_t> bytes = model::EncodePatternFile(pattern, model::WhitePalette());
        writeBytes(ModelFileName(folder.filePath(name)), std::string(bytes.begin(), bytes.end()));
        return folder.filePath(name);
    };
    const QString first = put(QStringLiteral("first.plw"), 3), second = put(QStringLiteral("SECOND.PLW"), 5);
    writeBytes(ModelFileName(first + ".txt"), "notes");
    writeBytes(ModelFileName(folder.filePath("bad.plw")), "bad");
    const auto drop = [&](const QStringList &paths) { return dropFiles(*form->MainScrollBox, paths, QPoint(40, 40)); };

    EXPECT_FALSE(drop({ first + ".txt" }));
    EXPECT_FALSE(drop({ first, second }));
    EXPECT_FALSE(form->Pattern.exists());
    ASSERT_TRUE(drop({ first })); // no pattern: no question
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(form->Pattern.StitchCount, 3);
    EXPECT_EQ(MemoForm->notesText(), QStringLiteral("notes"));

    // The save question: Cancel keeps the open pattern, No opens the dropped one.
    dialogs.messageAnswers = { QMessageBox::Cancel, QMessageBox::No, QMessageBox::Ok };
    ASSERT_TRUE(drop({ second }));
    EXPECT_EQ(form->Pattern.StitchCount, 3);
    ASSERT_TRUE(drop({ second }));
    EXPECT_EQ(form->Pattern.StitchCount, 5);
    // A damaged file gets Open's refusal, before any question.
    ASSERT_TRUE(drop({ folder.filePath("bad.plw") }));
    EXPECT_EQ(form->Pattern.StitchCount, 5);
    ASSERT_EQ(dialogs.messages.size(), 3u);
    EXPECT_EQ(dialogs.messages[1].text, QStringLiteral("Вы хотите сохранить текущий рисунок?"));
    EXPECT_EQ(dialogs.messages[2].caption, QStringLiteral("Purlwise"));
    EXPECT_TRUE(dialogs.allAnswersUsed());
}
