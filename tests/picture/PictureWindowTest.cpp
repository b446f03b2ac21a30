// The picture window as the user meets it: its tool button and close box,
// the open dialog, and scrolling a picture larger than the window.
#include "PictureFixtures.h"
#include "support/WindowFixture.h"
#include "ui/Picture.h"

#include <QFile>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QThreadPool>
#include <QToolButton>

namespace {

class PictureWindowTest : public WindowTest {
protected:
    QString write(const QString &name, const QImage &image)
    {
        const QString path = dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bmpBytes(image));
        return path;
    }
    void load(const QString &path)
    {
        dialogs.openAnswers.push_back(path);
        QTest::mouseDClick(PictureForm->Image, Qt::LeftButton, {}, QPoint(1, 1));
        PictureForm->finishLoading();
    }
    QTemporaryDir dir;
};

} // namespace

TEST_F(PictureWindowTest, ButtonAndCloseBoxShowAndHideTheWindowKeepingItsPicture)
{
    newPattern(4, 4);
    EXPECT_FALSE(PictureForm->isVisible());
    EXPECT_EQ(PictureForm->windowType(), Qt::Tool);
    EXPECT_EQ(PictureForm->parentWidget(), form);
    EXPECT_FALSE(PictureForm->windowFlags().testFlag(Qt::WindowMinMaxButtonsHint));

    form->ShowHidePictureButton->click();
    EXPECT_TRUE(PictureForm->isVisible());
    EXPECT_EQ(PictureForm->frameGeometry().topLeft(), QPoint(583, 72));
    EXPECT_EQ(PictureForm->frameGeometry().size(), QSize(223, 506));
    load(write("a.bmp", markedImage(20, 10)));

    EXPECT_TRUE(PictureForm->close());
    EXPECT_FALSE(PictureForm->isVisible());
    EXPECT_FALSE(form->ShowHidePictureButton->isChecked());

    form->ShowHidePictureButton->click();
    EXPECT_TRUE(PictureForm->isVisible());
    EXPECT_TRUE(form->ShowHidePictureButton->isChecked());
    EXPECT_EQ(PictureForm->picture().size(), QSize(20, 10));

    // Turning the editor off hides the window but leaves the button to the user.
    form->DisableEditor();
    EXPECT_FALSE(PictureForm->isVisible());
    EXPECT_TRUE(form->ShowHidePictureButton->isChecked());
    EXPECT_EQ(PictureForm->picture().size(), QSize(20, 10));
}

TEST_F(PictureWindowTest, DoubleClickOffersThePictureFormatsAndCancelChangesNothing)
{
    newPattern(4, 4);
    form->ShowHidePictureButton->click();
    load(write("a.bmp", markedImage(20, 10)));
    dialogs.openAnswers.push_back(QString());
    QTest::mouseDClick(PictureForm->ScrollBox->viewport(), Qt::LeftButton, {}, QPoint(100, 300));

    ASSERT_EQ(dialogs.openRequests.size(), 2u);
    EXPECT_EQ(dialogs.openRequests[1].title, QStringLiteral("Открытие файла с рисунком..."));
    EXPECT_EQ(dialogs.openRequests[1].filter.split(";;"),
        QStringList(
            { "All (*.jpg *.jpeg *.bmp *.ico *.emf *.wmf)", "JPEG Image File (*.jpg)", "JPEG Image File (*.jpeg)",
                "Bitmaps (*.bmp)", "Icons (*.ico)", "Enhanced Metafiles (*.emf)", "Metafiles (*.wmf)" }));
    EXPECT_EQ(PictureForm->picture().size(), QSize(20, 10));
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(PictureWindowTest, LargePictureScrollsAndASmallOneLeavesTheWindowItsSize)
{
    newPattern(4, 4);
    form->ShowHidePictureButton->click();
    const QSize window = PictureForm->size();
    load(write("big.bmp", markedImage(900, 1200)));
    QCoreApplication::processEvents();
    EXPECT_EQ(PictureForm->size(), window);
    QScrollBar *down = PictureForm->ScrollBox->verticalScrollBar();
    EXPECT_GT(down->maximum(), 0);
    EXPECT_GT(PictureForm->ScrollBox->horizontalScrollBar()->maximum(), 0);
    down->setValue(down->maximum());
    EXPECT_EQ(PictureForm->Image->mapTo(PictureForm->ScrollBox->viewport(), QPoint(0, 1200)).y(),
        PictureForm->ScrollBox->viewport()->height());

    load(write("small.bmp", markedImage(12, 8)));
    QCoreApplication::processEvents();
    EXPECT_EQ(PictureForm->size(), window);
    EXPECT_EQ(PictureForm->Image->size(), QSize(12, 8));
    EXPECT_EQ(PictureForm->Image->mapTo(PictureForm->ScrollBox->viewport(), QPoint(0, 0)), QPoint(0, 0));
    EXPECT_EQ(down->maximum(), 0);
}

TEST_F(PictureWindowTest, AnOpenWhileOneIsLoadingSupersedesIt)
{
    newPattern(4, 4);
    form->ShowHidePictureButton->click();
    // One worker: the first load finishes, and reports, first.
    QThreadPool &workers = *QThreadPool::globalInstance();
    const int threads = workers.maxThreadCount();
    workers.setMaxThreadCount(1);
    PictureForm->loadPicture(write("first.bmp", markedImage(20, 10)));
    PictureForm->loadPicture(write("second.bmp", markedImage(12, 8)));
    EXPECT_TRUE(PictureForm->picture().isNull()); // read off the window's thread
    workers.waitForDone();
    workers.setMaxThreadCount(threads);
    QCoreApplication::processEvents();
    EXPECT_EQ(PictureForm->picture().size(), QSize(12, 8));
}
