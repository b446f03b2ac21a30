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
    const auto file = [&](const char *name, const std::string &bytes) {
        writeBytes(ModelFileName(folder.filePath(name)), bytes);
        return folder.filePath(name);
    };
    const auto pattern = [](std::int32_t stitches) {
        const auto bytes
            = model::EncodePatternFile(model::Pattern { stitches, 1, model::CellArray(std::size_t(stitches), 0) }, {});
        return std::string(bytes.begin(), bytes.end());
    };
    const QString first = file("first.plw", pattern(3)), second = file("SECOND.PLW", pattern(5));
    const auto drop = [&](const QStringList &paths) { return dropFiles(*form->MainScrollBox, paths, QPoint(40, 40)); };

    EXPECT_FALSE(drop({ file("first.plw.txt", "notes") }));
    EXPECT_FALSE(drop({ first, second }));
    ASSERT_TRUE(drop({ first })); // no pattern: no question
    EXPECT_EQ(form->Pattern.StitchCount, 3);
    EXPECT_EQ(MemoForm->notesText(), QStringLiteral("notes"));
    // Cancel at the save question keeps the open pattern, No opens the dropped one;
    // a damaged file gets Open's refusal before any question.
    dialogs.messageAnswers = { QMessageBox::Cancel, QMessageBox::No, QMessageBox::Ok };
    const std::pair<QString, int> drops[] = { { second, 3 }, { second, 5 }, { file("bad.plw", "bad"), 5 } };
    for (const auto &[path, stitches] : drops) {
        ASSERT_TRUE(drop({ path }));
        EXPECT_EQ(form->Pattern.StitchCount, stitches);
    }
    ASSERT_EQ(dialogs.messages.size(), 3u);
    EXPECT_EQ(dialogs.messages[1].text, QStringLiteral("Вы хотите сохранить текущий рисунок?"));
    EXPECT_EQ(dialogs.messages[2].caption, QStringLiteral("Purlwise"));
    EXPECT_TRUE(dialogs.allAnswersUsed());
}
