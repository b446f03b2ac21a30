#include "support/WindowFixture.h"
#include "ui/Preview.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPaintEngine>
#include <QPrintEngine>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QTest>
#include <random>

namespace {

const QRgb Black = qRgb(0, 0, 0);

// A printer whose document cannot be ended, as when the job is lost on its
// way to the printing system.
class EndFailsEngine : public QPaintEngine, public QPrintEngine {
public:
    EndFailsEngine()
        : QPaintEngine(QPaintEngine::AllFeatures)
    {
    }
    bool begin(QPaintDevice *) override { return true; }
    bool end() override { return false; }
    void updateState(const QPaintEngineState &) override { }
    void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override { }
    Type type() const override { return QPaintEngine::User; }
    void setProperty(PrintEnginePropertyKey, const QVariant &) override { }
    QVariant property(PrintEnginePropertyKey) const override { return {}; }
    bool newPage() override { return true; }
    bool abort() override { return true; }
    int metric(QPaintDevice::PaintDeviceMetric metric) const override
    {
        switch (metric) {
        case QPaintDevice::PdmWidth:
            return 4800;
        case QPaintDevice::PdmHeight:
            return 6400;
        case QPaintDevice::PdmDpiX:
        case QPaintDevice::PdmDpiY:
        case QPaintDevice::PdmPhysicalDpiX:
        case QPaintDevice::PdmPhysicalDpiY:
            return 600;
        case QPaintDevice::PdmDepth:
            return 32;
        default:
            return 1;
        }
    }
    QPrinter::PrinterState printerState() const override { return QPrinter::Idle; }
};

class EndFailsPrinter : public QPrinter {
public:
    EndFailsPrinter() { setEngines(&m_engine, &m_engine); }

private:
    EndFailsEngine m_engine;
};
// The preview's pixel worked out from the pattern alone.
QRgb expectedPixel(const model::Pattern &p, int s, bool grid, int x, int y)
{
    if (grid && (x % s == 0 || y % s == 0))
        return Black;
    const model::TColor c = p.at(std::min(x / s, p.StitchCount - 1), std::min(y / s, p.RowCount - 1));
    return qRgb(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

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

TEST_F(PreviewTest, ThePrintedPictureIsExactlyThePreview)
{
    newPattern(6, 4);
    // Strong colours next to white, where a lossy picture shows its fringes.
    const model::TColor colours[] = { 0x000000FF, 0x00FF0000, 0x0000FF00, 0x00123456, model::White };
    for (int i = 0; i < 24; ++i)
        form->Pattern.Cells[std::size_t(i)] = colours[(i * 7) % 5];
    QPrinter &printer = PreviewForm->printer();
    printer.setOutputFormat(QPrinter::PdfFormat);
    const QString pdf = folder.filePath("page.pdf");
    printer.setOutputFileName(pdf);
    dialogs.printAnswers = { true };
    dialogs.messageAnswers = { QMessageBox::Ok };
    QImage shown;
    inPreview([&](TPreviewForm &preview) {
        preview.CBProcent->setCurrentIndex(3);
        preview.CBGrid->click();
        shown = preview.image().convertToFormat(QImage::Format_RGB32);
        click(preview.PrintButton);
    });
    ASSERT_EQ(dialogs.messages.size(), 1u);

    QProcess extract;
    extract.start(QStringLiteral("pdfimages"), { QStringLiteral("-png"), pdf, folder.filePath("img") });
    ASSERT_TRUE(extract.waitForFinished(60000)) << "pdfimages from poppler-utils is needed";
    ASSERT_EQ(extract.exitCode(), 0);
    const QStringList images = QDir(folder.path()).entryList({ QStringLiteral("img-*.png") });
    ASSERT_EQ(images.size(), 1);
    const QImage printed = QImage(folder.filePath(images[0])).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(printed.size(), shown.size());
    int differing = 0;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            differing += printed.pixel(x, y) != shown.pixel(x, y);
    EXPECT_EQ(differing, 0);
}

TEST_F(PreviewTest, APrintThatCannotHappenIsReportedAndNeverCalledASuccess)
{
    struct Case {
        const char *what;
        bool printerInstalled;
        bool endFails;
        QString text;
        UserDialogs::Icon icon;
        int printDialogs;
    };
    const Case cases[] = {
        { "no printer", false, false, QStringLiteral("Не установлен ни один принтер"), UserDialogs::Icon::Warning, 0 },
        { "end fails", true, true, QStringLiteral("Не удалось напечатать рисунок."), UserDialogs::Icon::Critical, 1 },
    };
    newPattern(5, 5);
    for (const Case &c : cases) {
        if (c.endFails)
            PreviewForm->setPrinter(std::make_unique<EndFailsPrinter>());
        QPrinter &printer = PreviewForm->printer();
        const QString pdf = folder.filePath(QStringLiteral("%1.pdf").arg(c.what));
        if (!c.endFails) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
        }
        dialogs.hasPrinter = c.printerInstalled;
        dialogs.printAnswers = { true };
        if (!c.printDialogs)
            dialogs.printAnswers.clear();
        dialogs.messageAnswers = { QMessageBox::Ok };
        dialogs.messages.clear();
        dialogs.printDialogRuns = 0;
        inPreview([&](TPreviewForm &preview) {
            click(preview.PrintButton);
            EXPECT_TRUE(preview.isVisible()) << c.what;
        });
        ASSERT_EQ(dialogs.messages.size(), 1u) << c.what;
        EXPECT_EQ(dialogs.messages[0].text, c.text) << c.what;
        EXPECT_EQ(dialogs.messages[0].icon, c.icon) << c.what;
        EXPECT_EQ(dialogs.messages[0].buttons, QMessageBox::Ok) << c.what;
        EXPECT_EQ(dialogs.printDialogRuns, c.printDialogs) << c.what;
        EXPECT_FALSE(QFile::exists(pdf)) << c.what;
        EXPECT_TRUE(dialogs.allAnswersUsed()) << c.what;
    }
}

TEST_F(PreviewTest, ShownAndSavedPicturesMatchThePatternInEightAndThirtyTwoBits)
{
    struct Row {
        int colours;
        QImage::Format format;
    };
    std::mt19937 random(9);
    for (const Row row : { Row { 16, QImage::Format_Indexed8 }, Row { 300, QImage::Format_RGB32 } }) {
        newPattern(30, 20);
        std::vector<model::TColor> colours;
        while (int(colours.size()) < row.colours)
            colours.push_back(model::TColor(colours.size() * 0x000203 + 1));
        for (model::TColor &cell : form->Pattern.Cells)
            cell = colours[random() % colours.size()];
        for (int i = 0; i < row.colours; ++i)
            form->Pattern.Cells[std::size_t(i)] = colours[std::size_t(i)]; // every colour present
        const QString plain = folder.filePath("plain.bmp"), grid = folder.filePath("grid.bmp");
        dialogs.saveAnswers = { plain, grid };
        inPreview([&](TPreviewForm &preview) {
            preview.CBProcent->setCurrentIndex(3); // 6 pixels per cell
            for (const QString &name : { plain, grid }) {
                const bool withGrid = name == grid;
                if (preview.CBGrid->isChecked() != withGrid)
                    QTest::mouseClick(preview.CBGrid, Qt::LeftButton, {}, QPoint(4, 8));
                ASSERT_EQ(preview.CBGrid->isChecked(), withGrid);
                EXPECT_EQ(preview.image().format(), row.format) << row.colours;
                click(preview.BMPButton);
                QImageReader reader(name);
                const QImage pictures[]
                    = { preview.image(), preview.ScrollBox->widget()->grab().toImage(), reader.read() };
                for (const QImage &picture : pictures) {
                    ASSERT_EQ(picture.size(), QSize(181, 121))
                        << row.colours << " " << reader.errorString().toStdString();
                    for (int y = 0; y < picture.height(); ++y)
                        for (int x = 0; x < picture.width(); ++x)
                            ASSERT_EQ(picture.pixel(x, y), expectedPixel(form->Pattern, 6, withGrid, x, y))
                                << row.colours << " colours, grid " << withGrid << " at " << x << ", " << y;
                }
            }
            preview.CBGrid->setChecked(false);
        });
    }
    EXPECT_TRUE(dialogs.allAnswersUsed());
}

TEST_F(PreviewTest, ClosedPreviewHoldsNoPicture)
{
    newPattern(40, 30);
    inPreview([&](TPreviewForm &preview) {
        preview.CBProcent->setCurrentIndex(10);
        ASSERT_EQ(preview.image().size(), QSize(801, 601));
        click(preview.CancelButton);
        EXPECT_TRUE(preview.image().isNull());
        EXPECT_TRUE(preview.ScrollBox->widget()->size().isEmpty());
    });
    inPreview([&](TPreviewForm &preview) { EXPECT_EQ(preview.image().size(), QSize(801, 601)); });
}

} // namespace
