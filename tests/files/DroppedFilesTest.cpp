// A pattern file dropped on the main window opens as Open does: with no
// pattern at once, with one after the save question. A picture dropped on the
// picture window loads as its dialog's choice would. Anything else is left.
#include "support/FileSupport.h"
#include "support/WindowFixture.h"
#include "ui/FileNames.h"
#include "ui/GridView.h"
#include "ui/Memo.h"
#include "ui/Picture.h"

#include "model/PatternFile.h"

#include <QDropEvent>
#include <QMimeData>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QToolButton>
#include <QWindow>

using DroppedFilesTest = WindowTest;

namespace {

// Drops as the platform does: the native window hands the events to the widget
// under the point that takes drops. Runs what the drop queued; gives whether it was taken.
bool dropFiles(QWidget &widget, const QStringList &paths)
{
    QMimeData data;
    QList<QUrl> urls;
    for (const QString &path : paths)
        urls.append(QUrl::fromLocalFile(path));
    data.setUrls(urls);
    const QPoint point = widget.mapTo(widget.window(), QPoint(40, 40));
    QDragEnterEvent enter(point, Qt::CopyAction, &data, Qt::LeftButton, {});
    QDropEvent drop(point, Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(widget.window()->windowHandle(), &enter);
    if (enter.isAccepted())
        QApplication::sendEvent(widget.window()->windowHandle(), &drop);
    QApplication::processEvents();
    return enter.isAccepted() && drop.isAccepted();
}

} // namespace

TEST_F(DroppedFilesTest, PatternsOpenAsOpenWouldPicturesLoadAndNothingElseIsTaken)
{
    QTemporaryDir folder;
    const auto file = [&](const char *name, const std::string &bytes) {
        writeBytes(ModelFileName(folder.filePath(name)), bytes);
        return folder.filePath(name);
    };
    const auto pattern = [](std::int32_t stitches) {
        const auto bytes = model::EncodePatternFile({ stitches, 1, model::CellArray(std::size_t(stitches), 0) }, {});
        return std::string(bytes.begin(), bytes.end());
    };
    const QString first = file("first.plw", pattern(3)), second = file("SECOND.PLW", pattern(5));
    QWidget &grid = *form->MainScrollBox;
    EXPECT_FALSE(dropFiles(grid, { file("first.plw.txt", "notes") }));
    EXPECT_FALSE(dropFiles(grid, { first, second }));
    ASSERT_TRUE(dropFiles(grid, { first })); // no pattern: no question
    EXPECT_EQ(form->Pattern.StitchCount, 3);
    EXPECT_EQ(MemoForm->notesText(), QStringLiteral("notes"));
    // Cancel at the save question keeps the open pattern, No opens the dropped one;
    // a damaged file gets Open's refusal before any question.
    dialogs.messageAnswers = { QMessageBox::Cancel, QMessageBox::No, QMessageBox::Ok };
    const std::pair<QString, int> drops[] = { { second, 3 }, { second, 5 }, { file("bad.plw", "bad"), 5 } };
    for (const auto &[path, stitches] : drops) {
        ASSERT_TRUE(dropFiles(grid, { path }));
        EXPECT_EQ(form->Pattern.StitchCount, stitches);
    }
    ASSERT_EQ(dialogs.messages.size(), 3u);
    EXPECT_EQ(dialogs.messages[1].text, QStringLiteral("Вы хотите сохранить текущий рисунок?"));
    EXPECT_EQ(dialogs.messages[2].caption, QStringLiteral("Purlwise"));

    form->ShowHidePictureButton->click();
    const QString picture = folder.filePath("MOTIF.BMP");
    ASSERT_TRUE(QImage(3, 2, QImage::Format_RGB32).save(picture, "BMP"));
    EXPECT_FALSE(dropFiles(grid, { picture }));
    EXPECT_FALSE(dropFiles(*PictureForm->ScrollBox->viewport(), { second }));
    ASSERT_TRUE(dropFiles(*PictureForm->ScrollBox->viewport(), { picture }));
    PictureForm->finishLoading();
    EXPECT_EQ(PictureForm->picture().size(), QSize(3, 2));
    EXPECT_TRUE(dialogs.allAnswersUsed());
}
