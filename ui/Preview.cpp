#include "ui/Preview.h"

#include "model/PreviewImage.h"
#include "ui/DialogParts.h"
#include "ui/Main.h"
#include "ui/Messages.h"
#include "ui/PreviewPicture.h"
#include "ui/Printing.h"
#include "ui/UserDialogs.h"
#include "ui/WindowPlacement.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPaintEvent>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSignalBlocker>

TPreviewForm *PreviewForm = nullptr;

// Shows the picture at its natural size, painting only what is exposed, so
// even a very large one is never copied into a second pixmap.
class PreviewCanvas : public QWidget {
public:
    using QWidget::QWidget;

    void setImage(const QImage &image)
    {
        m_image = image;
        setFixedSize(image.size());
        update();
    }

protected:
    void paintEvent(QPaintEvent *event) override
    {
        QPainter painter(this);
        painter.drawImage(event->rect().topLeft(), m_image, event->rect());
    }

private:
    QImage m_image;
};

namespace {

constexpr int ScrollBoxTop = 26;
constexpr int ScrollMargin = 5;

QPushButton *addBoldButton(QWidget *parent, const char *name, const QString &caption, const QRect &geometry)
{
    QPushButton *button = addDialogButton(parent, name, caption, geometry);
    button->setFlat(true);
    QFont bold = button->font();
    bold.setBold(true);
    button->setFont(bold);
    // The preview has no default button: Enter neither prints nor closes it.
    button->setAutoDefault(false);
    // Never narrower than its caption, whatever face stands in for the designed one.
    whenShown(*button, [button, caption, geometry] {
        const int captionWidth = button->fontMetrics().horizontalAdvance(caption) + 10;
        button->resize(std::max(geometry.width(), captionWidth), geometry.height());
    });
    return button;
}

} // namespace

TPreviewForm::TPreviewForm(TMainForm &owner, UserDialogs &dialogs)
    : QDialog(&owner)
    , m_owner(owner)
    , m_dialogs(dialogs)
{
    setObjectName("PreviewForm");
    setWindowTitle(QStringLiteral("Предварительный просмотр"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
        | Qt::WindowCloseButtonHint);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setAutoFillBackground(true);
    resize(792, 529);
    // Every showing covers the work area, frame included, from its top-left corner.
    new WindowPlacement(*this, WindowPlacement::When::EveryShowing, true, [this](const QMargins &) {
        const QScreen *desktop = screen();
        return desktop ? desktop->availableVirtualGeometry() : geometry();
    });

    CBProcent = new QComboBox(this);
    CBProcent->setObjectName("CBProcent");
    CBProcent->setGeometry(8, 2, 50, 21);
    for (std::string_view text : model::PreviewScaleTexts)
        CBProcent->addItem(QString::fromUtf8(text.data(), qsizetype(text.size())));
    CBProcent->setMaxVisibleItems(int(model::PreviewScaleTexts.size()));
    CBProcent->setCurrentIndex(-1);
    CBProcent->resize(std::max(CBProcent->width(), CBProcent->sizeHint().width()), CBProcent->height());

    PrintButton = addBoldButton(this, "PrintButton", QStringLiteral("Печать"), QRect(94, 2, 50, 21));
    BMPButton = addBoldButton(this, "BMPButton", QStringLiteral("Сохранить как изображение"), QRect(197, 2, 177, 21));
    CancelButton = addBoldButton(this, "CancelButton", QStringLiteral("Отмена"), QRect(459, 2, 50, 21));
    QPalette red = CancelButton->palette();
    red.setColor(QPalette::ButtonText, Qt::red);
    CancelButton->setPalette(red);

    CBGrid = new QCheckBox(QStringLiteral("Показать сетку"), this);
    CBGrid->setObjectName("CBGrid");
    CBGrid->setGeometry(648, 4, 129, 17);

    ScrollBox = new QScrollArea(this);
    ScrollBox->setObjectName("ScrollBox");
    ScrollBox->setFrameShape(QFrame::NoFrame);
    ScrollBox->move(0, ScrollBoxTop);
    Image = new PreviewCanvas;
    Image->setObjectName("Image");
    ScrollBox->setWidget(Image);

    setTabOrder(CBProcent, ScrollBox);
    setTabOrder(ScrollBox, CBGrid);
    // Nothing to print or save until a picture has been drawn.
    PrintButton->setEnabled(false);
    BMPButton->setEnabled(false);

    connect(CBProcent, &QComboBox::currentIndexChanged, this, &TPreviewForm::CBProcentChange);
    connect(CBGrid, &QCheckBox::toggled, this, &TPreviewForm::CBGridClick);
    connect(PrintButton, &QPushButton::clicked, this, &TPreviewForm::PrintButtonClick);
    connect(BMPButton, &QPushButton::clicked, this, &TPreviewForm::BMPButtonClick);
    connect(CancelButton, &QPushButton::clicked, this, &TPreviewForm::CancelButtonClick);
}

TPreviewForm::~TPreviewForm() = default;

QPrinter &TPreviewForm::printer()
{
    // Made on first use: asking the printing system for printers takes time.
    if (!m_printer)
        m_printer.reset(printing().makePrinter());
    return *m_printer;
}

void TPreviewForm::setPrinter(std::unique_ptr<QPrinter> printer)
{
    m_printer = std::move(printer);
}

void TPreviewForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TPreviewForm::hideEvent(QHideEvent *event)
{
    QDialog::hideEvent(event);
    // The next showing draws afresh, so a closed preview holds no picture.
    if (!event->spontaneous())
        releasePicture();
}

void TPreviewForm::FormShow()
{
    // A picture of an earlier pattern must never stand in for this one.
    releasePicture();
    m_imageScale = -1;
    if (CBProcent->currentIndex() < 0) {
        DrawPreview(1);
        const QSignalBlocker quiet(CBProcent);
        CBProcent->setCurrentIndex(0);
        m_imageScale = m_image.isNull() ? -1 : 0;
    } else {
        CBProcentChange();
    }
    fitScrollBox();
}

void TPreviewForm::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    fitScrollBox();
}

void TPreviewForm::fitScrollBox()
{
    ScrollBox->resize(width() - ScrollMargin, height() - ScrollBoxTop - ScrollMargin);
}

void TPreviewForm::CBProcentChange()
{
    const auto cellSize = model::previewCellSize(CBProcent->currentText().toStdString());
    if (!cellSize)
        return;
    if (DrawPreview(*cellSize)) {
        m_imageScale = CBProcent->currentIndex();
    } else if (m_imageScale >= 0) {
        // The list keeps showing the scale of the picture that stays; one
        // already let go for the new drawing is drawn again.
        const QSignalBlocker quiet(CBProcent);
        CBProcent->setCurrentIndex(m_imageScale);
        if (m_image.isNull() && !DrawPreview(model::PreviewCellSizes[std::size_t(m_imageScale)]))
            m_imageScale = -1;
    }
}

void TPreviewForm::CBGridClick()
{
    CBProcentChange();
}

void TPreviewForm::CancelButtonClick()
{
    reject();
}

bool TPreviewForm::DrawPreview(int cellSize)
{
    const model::Pattern &pattern = m_owner.Pattern;
    const auto size = model::previewImageSize(pattern.StitchCount, pattern.RowCount, cellSize);
    if (!size || !pattern.exists()) {
        ShowErrorReport(m_dialogs, Messages::PreviewTooLarge);
        return false;
    }
    // The old picture goes before the new one is drawn: two at once would
    // double the memory of the largest ones.
    releasePicture();
    m_image = drawPreviewPicture(pattern, cellSize, CBGrid->isChecked());
    if (m_image.isNull()) {
        ShowErrorReport(m_dialogs, Messages::PreviewTooLarge);
        return false;
    }
    Image->setImage(m_image);
    PrintButton->setEnabled(true);
    BMPButton->setEnabled(true);
    return true;
}

void TPreviewForm::releasePicture()
{
    m_image = QImage();
    Image->setImage(m_image);
    PrintButton->setEnabled(false);
    BMPButton->setEnabled(false);
}

void TPreviewForm::PrintButtonClick()
{
    if (m_image.isNull())
        return;
    UserDialogs &dialogs = m_dialogs;
    if (!dialogs.printerInstalled()) {
        dialogs.message(this, Messages::PrintCaption, Messages::NoPrinter, QMessageBox::Ok, UserDialogs::Icon::Warning);
        return;
    }
    QPrinter &target = printer();
    if (!dialogs.printDialog(this, target))
        return;
    QPainter painter;
    if (!painter.begin(&target)) {
        ShowErrorReport(dialogs, Messages::PrintNotStarted);
        return;
    }
    // Stored as JPEG the picture would print in other colours, fringed around every cell.
    painter.setRenderHint(QPainter::LosslessImageRendering);
    // The painter's origin is the top-left corner of the printable area.
    const auto place = model::printPlacement(m_image.width(), m_image.height(), target.width(), target.height());
    if (place && place->right > place->left && place->bottom > place->top)
        painter.drawImage(
            QRect(int(place->left), int(place->top), int(place->right - place->left), int(place->bottom - place->top)),
            m_image);
    if (!painter.end() || printing().printerFailed(target)) {
        ShowErrorReport(dialogs, Messages::PrintFailed);
        return;
    }
    dialogs.message(
        this, Messages::PrintCaption, Messages::PatternPrinted, QMessageBox::Ok, UserDialogs::Icon::Information);
}

void TPreviewForm::BMPButtonClick()
{
    if (m_image.isNull())
        return;
    UserDialogs &dialogs = m_dialogs;
    const QString name = dialogs.saveFileName(this,
        { QStringLiteral("Сохранить рисунок как"), QStringLiteral("Bitmaps (*.bmp)"), QStringLiteral("bmp"), {} });
    if (name.isEmpty())
        return;
    // Written line by line from the picture; the file is a bitmap whatever its
    // extension, and replaces an existing one only once it is complete on disk.
    if (const model::Outcome<> written = saveBitmapFile(m_image, name); !written.ok())
        ReportFailure(dialogs, written.failure());
}
