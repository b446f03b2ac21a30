#include "support/WindowFixture.h"
#include "ui/Preview.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QRgb Black = qRgb(0, 0, 0);

class PreviewTest : public WindowTest {
protected:
    // Opens the preview from the main window and runs body inside it.
    void inPreview(std::function<void(TPreviewForm &)> body)
    {
        dialogs.modalHandlers.push_back([body](QDialog &) {
            body(*PreviewForm);
            return 0;
        });
        form->PreviewMenuClick();
    }
    void click(QPushButton *button) { QTest::mouseClick(button, Qt::LeftButton); }
    QTemporaryDir folder;
};

TEST_F(PreviewTest, ShowingsKeepScaleAndGridAndShowTheCurrentPattern)
{
    newPattern(100, 24);
    form->Pattern.at(0, 0) = 0x000000FF;
    inPreview([&](TPreviewForm &preview) {
        EXPECT_EQ(preview.pos(), QPoint(0, 0));
        EXPECT_EQ(preview.CBProcent->currentText(), QStringLiteral("5 %"));
        EXPECT_EQ(preview.image().size(), QSize(101, 25));
        EXPECT_EQ(preview.image().pixel(0, 0), qRgb(255, 0, 0));

        preview.CBProcent->setCurrentIndex(3); // "30 %"
        EXPECT_EQ(preview.image().size(), QSize(601, 145));
        EXPECT_EQ(preview.image().pixel(0, 0), qRgb(255, 0, 0));
        preview.CBGrid->click();
        EXPECT_EQ(preview.image().pixel(0, 0), Black);
        EXPECT_EQ(preview.image().pixel(3, 3), qRgb(255, 0, 0));

        click(preview.CancelButton);
        EXPECT_FALSE(preview.isVisible());
        EXPECT_EQ(preview.result(), 0);
    });

    form->Pattern.at(0, 0) = 0x00FF0000;
    inPreview([&](TPreviewForm &preview) {
        EXPECT_EQ(preview.CBProcent->currentText(), QStringLiteral("30 %"));
        EXPECT_TRUE(preview.CBGrid->isChecked());
        EXPECT_EQ(preview.image().size(), QSize(601, 145));
        EXPECT_EQ(preview.image().pixel(6, 0), Black);
        EXPECT_EQ(preview.image().pixel(3, 3), qRgb(0, 0, 255));
        preview.close();
        EXPECT_EQ(preview.result(), 0);
    });
    EXPECT_TRUE(dialogs.allAnswersUsed());
}

TEST_F(PreviewTest, TooLargeAPictureIsReportedAndThePreviousOneStays)
{
    newPattern(10, 10);
    model::CreateBlank(form->Pattern, 2000, 10); // 40001 pixels wide at "100 %"
    dialogs.messageAnswers.push_back(QMessageBox::Ok);
    inPreview([&](TPreviewForm &preview) {
        ASSERT_EQ(preview.image().size(), QSize(2001, 11));
        preview.CBProcent->setCurrentIndex(10);
        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("Рисунок слишком велик для просмотра в этом масштабе."));
        EXPECT_EQ(dialogs.messages[0].icon, UserDialogs::Icon::Critical);
        EXPECT_EQ(preview.image().size(), QSize(2001, 11));
        EXPECT_EQ(preview.CBProcent->currentText(), QStringLiteral("5 %"));
        EXPECT_TRUE(preview.PrintButton->isEnabled());
    });
    EXPECT_TRUE(dialogs.allAnswersUsed());
}

TEST_F(PreviewTest, PrintsOnTheSharedPrinterAndReportsEachPrint)
{
    newPattern(100, 24);
    form->MenuPrintSetup->trigger();
    QPrinter &printer = PreviewForm->printer();
    ASSERT_EQ(dialogs.printerSetupRuns, std::vector<QPrinter *> { &printer });
    printer.setOutputFormat(QPrinter::PdfFormat);
    const QString pdf = folder.filePath("page.pdf");
    printer.setOutputFileName(pdf);

    dialogs.printAnswers = { false, true, true };
    dialogs.messageAnswers = { QMessageBox::Ok, QMessageBox::Ok };
    inPreview([&](TPreviewForm &preview) {
        click(preview.PrintButton); // cancelled
        EXPECT_TRUE(dialogs.messages.empty());
        EXPECT_FALSE(QFile::exists(pdf));
        click(preview.PrintButton);
        click(preview.PrintButton);
        EXPECT_TRUE(preview.isVisible());
    });
    ASSERT_EQ(dialogs.messages.size(), 2u);
    for (const MessageRecord &message : dialogs.messages) {
        EXPECT_EQ(message.caption, QStringLiteral("Печать..."));
        EXPECT_EQ(message.text, QStringLiteral("Рисунок успешно отправлен на принтер"));
        EXPECT_EQ(message.buttons, QMessageBox::Ok);
        EXPECT_EQ(message.icon, UserDialogs::Icon::Information);
    }
    EXPECT_GT(QFileInfo(pdf).size(), 0);
    EXPECT_TRUE(dialogs.allAnswersUsed());
}

TEST_F(PreviewTest, PrinterThatCannotStartIsReportedWithoutSuccess)
{
    newPattern(5, 5);
    QPrinter &printer = PreviewForm->printer();
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(folder.filePath("missing/page.pdf"));
    dialogs.printAnswers = { true };
    dialogs.messageAnswers = { QMessageBox::Ok };
    inPreview([&](TPreviewForm &preview) { click(preview.PrintButton); });
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].icon, UserDialogs::Icon::Critical);
    EXPECT_TRUE(dialogs.allAnswersUsed());
}

TEST_F(PreviewTest, SavesTheExactPictureAsABitmapWhateverTheName)
{
    newPattern(2, 1);
    form->Pattern.at(0, 0) = 0x000000FF;
    form->Pattern.at(1, 0) = 0x00FF0000;
    const QString bmp = folder.filePath("pattern.bmp"), png = folder.filePath("pattern.png");
    {
        QFile old(png); // replaced without asking
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("not a picture, and longer than the bitmap that replaces it: ................................");
    }
    dialogs.saveAnswers = { bmp, png, folder.filePath("missing/x.bmp"), QString() };
    dialogs.messageAnswers = { QMessageBox::Ok };
    inPreview([&](TPreviewForm &preview) {
        click(preview.BMPButton);
        click(preview.BMPButton);
        click(preview.BMPButton); // no such folder
        click(preview.BMPButton); // cancelled
    });
    ASSERT_EQ(dialogs.saveRequests.size(), 4u);
    EXPECT_EQ(dialogs.saveRequests[0].title, QStringLiteral("Сохранить рисунок как"));
    EXPECT_EQ(dialogs.saveRequests[0].filter, QStringLiteral("Bitmaps (*.bmp)"));
    EXPECT_EQ(dialogs.saveRequests[0].defaultSuffix, QStringLiteral("bmp"));

    for (const QString &name : { bmp, png }) {
        QImageReader reader(name);
        reader.setDecideFormatFromContent(true);
        EXPECT_EQ(reader.format(), QByteArray("bmp")) << name.toStdString();
        const QImage saved = reader.read();
        ASSERT_EQ(saved.size(), QSize(3, 2)) << name.toStdString();
        for (int y = 0; y < 2; ++y) {
            EXPECT_EQ(saved.pixel(0, y), qRgb(255, 0, 0));
            EXPECT_EQ(saved.pixel(1, y), qRgb(0, 0, 255));
            EXPECT_EQ(saved.pixel(2, y), qRgb(0, 0, 255));
        }
    }
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text,
        QStringLiteral("Не удалось сохранить файл «%1»: Файл или каталог не существует.")
            .arg(folder.filePath("missing/x.bmp")));
    EXPECT_EQ(dialogs.messages[0].icon, UserDialogs::Icon::Critical);
    EXPECT_TRUE(dialogs.allAnswersUsed());
}

} // namespace
