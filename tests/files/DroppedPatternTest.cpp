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

namespace {

class DroppedPatternTest : public WindowTest {
protected:
    QString writePattern(const QString &name, std::int32_t stitches, std::int32_t rows)
    {
        model::Pattern pattern;
        model::CreateBlank(pattern, stitches, rows);
        pattern.at(0, 0) = 0x000000FF;
        const std::vector<std::uint8_t> bytes = model::EncodePatternFile(pattern, model::WhitePalette());
        const QString path = folder.filePath(name);
        writeBytes(ModelFileName(path), std::string(bytes.begin(), bytes.end()));
        return path;
    }
    // Over the grid, the widget most drops land on.
    bool drop(const QStringList &paths) { return dropFiles(*form->MainScrollBox, paths, QPoint(40, 40)); }
    QTemporaryDir folder;
};

} // namespace

TEST_F(DroppedPatternTest, OpensLikeOpenAskingFirstWhenAPatternIsOpen)
{
    const QString first = writePattern(QStringLiteral("first.plw"), 3, 2);
    writeBytes(ModelFileName(first + ".txt"), "notes");
    ASSERT_TRUE(drop({ first }));
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(form->Pattern.StitchCount, 3);
    EXPECT_EQ(MemoForm->notesText(), QStringLiteral("notes"));

    // Cancel at the question keeps the open pattern; No opens the dropped one.
    const QString second = writePattern(QStringLiteral("SECOND.PLW"), 5, 4);
    dialogs.messageAnswers = { QMessageBox::Cancel, QMessageBox::No };
    ASSERT_TRUE(drop({ second }));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("Вы хотите сохранить текущий рисунок?"));
    EXPECT_EQ(form->Pattern.StitchCount, 3);
    ASSERT_TRUE(drop({ second }));
    EXPECT_EQ(form->Pattern.StitchCount, 5);
    EXPECT_EQ(MemoForm->notesText(), QString());

    // A damaged file is refused with Open's message before any question.
    writeBytes(ModelFileName(folder.filePath("bad.plw")), "bad");
    dialogs.messages.clear();
    dialogs.messageAnswers = { QMessageBox::Ok };
    ASSERT_TRUE(drop({ folder.filePath("bad.plw") }));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].caption, QStringLiteral("Purlwise"));
    EXPECT_EQ(form->Pattern.StitchCount, 5);
    EXPECT_TRUE(dialogs.allAnswersUsed());
}

TEST_F(DroppedPatternTest, AnythingElseIsNotTaken)
{
    const QString pattern = writePattern(QStringLiteral("motif.plw"), 3, 2);
    writeBytes(ModelFileName(folder.filePath("motif.txt")), "text");
    EXPECT_FALSE(drop({ folder.filePath("motif.txt") }));
    EXPECT_FALSE(drop({ pattern, pattern }));
    EXPECT_FALSE(drop({}));
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_FALSE(form->Pattern.exists());
}
