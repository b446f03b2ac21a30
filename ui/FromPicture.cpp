#include "ui/FromPicture.h"

#include "ui/DialogParts.h"
#include "ui/Messages.h"
#include "ui/WholeNumberField.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <algorithm>

namespace {

// The counts New's dialog allows.
constexpr int MaxStitches = 400;
constexpr int MaxRows = 800;
constexpr int MaxGauge = 200;

} // namespace

QImage PatternImage(const model::Pattern &pattern)
{
    QImage image(pattern.StitchCount, pattern.RowCount, QImage::Format_RGB32);
    for (int r = 0; r < pattern.RowCount; ++r) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(r));
        for (int s = 0; s < pattern.StitchCount; ++s) {
            const model::TColor c = pattern.at(s, r);
            line[s] = qRgb(int(c & 0xFF), int(c >> 8 & 0xFF), int(c >> 16 & 0xFF));
        }
    }
    return image;
}

CellPreview::CellPreview(QWidget *parent)
    : QWidget(parent)
{
    setMinimumSize(320, 320);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void CellPreview::setCells(QImage cells, double cellAspect)
{
    m_cells = std::move(cells);
    m_cellAspect = cellAspect;
    update();
}

void CellPreview::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    if (m_cells.isNull())
        return;
    const double across = m_cells.width() * m_cellAspect;
    const double pitch = std::min(double(width()) / across, double(height()) / m_cells.height());
    const double step = pitch * m_cellAspect;
    const QSizeF size(across * pitch, m_cells.height() * pitch);
    const QRectF target(QPointF((width() - size.width()) / 2, (height() - size.height()) / 2), size);
    painter.drawImage(target, m_cells);
    // Outlines once cells are big enough to tell apart, as on the grid.
    if (pitch >= 5) {
        painter.setPen(Qt::black);
        for (int s = 0; s <= m_cells.width(); ++s)
            painter.drawLine(
                QPointF(target.left() + s * step, target.top()), QPointF(target.left() + s * step, target.bottom()));
        for (int r = 0; r <= m_cells.height(); ++r)
            painter.drawLine(
                QPointF(target.left(), target.top() + r * pitch), QPointF(target.right(), target.top() + r * pitch));
    } else {
        painter.setPen(Qt::black);
        painter.drawRect(target);
    }
}

TFromPictureForm::TFromPictureForm(UserDialogs &dialogs, QWidget *parent)
    : QDialog(parent)
    , m_dialogs(dialogs)
{
    setObjectName(QStringLiteral("FromPictureForm"));
    setWindowTitle(QStringLiteral("Рисунок по картинке"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    const auto field = [this](const char *name, int minimum, int maximum, int value) {
        auto *edit = new WholeNumberField(minimum, maximum, value, this);
        edit->setObjectName(QString::fromLatin1(name));
        return edit;
    };
    StitchesEdit = field("StitchesEdit", 1, MaxStitches, 60);
    RowsEdit = field("RowsEdit", 1, MaxRows, 60);
    GaugeStitchesEdit = field("GaugeStitchesEdit", 1, MaxGauge, model::Gauge {}.stitches);
    GaugeRowsEdit = field("GaugeRowsEdit", 1, MaxGauge, model::Gauge {}.rows);
    ColoursEdit = field("ColoursEdit", model::MinPictureColours, model::MaxPictureColours, 4);
    // Every count as wide as the widest, so the fields line up.
    const std::initializer_list<WholeNumberField *> counts { StitchesEdit, RowsEdit, GaugeStitchesEdit, GaugeRowsEdit,
        ColoursEdit };
    int countWidth = 0;
    for (WholeNumberField *edit : counts)
        countWidth = std::max(countWidth, edit->sizeHint().width());
    for (WholeNumberField *edit : counts)
        edit->setMinimumWidth(countWidth);
    DitherBox = new QCheckBox(QStringLiteral("Рассеивание"), this);
    DitherBox->setObjectName(QStringLiteral("DitherBox"));
    RowsLimitLabel = new QLabel(QStringLiteral("больше %1 нельзя").arg(MaxRows), this);
    RowsLimitLabel->setObjectName(QStringLiteral("RowsLimitLabel"));
    // Its place is kept, so nothing moves under the user's typing when it shows.
    QSizePolicy keepPlace = RowsLimitLabel->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    RowsLimitLabel->setSizePolicy(keepPlace);
    RowsLimitLabel->hide();
    Preview = new CellPreview(this);
    Preview->setObjectName(QStringLiteral("Preview"));
    m_previewTimer = new QTimer(this);
    m_previewTimer->setSingleShot(true);
    m_previewTimer->setInterval(0);
    connect(m_previewTimer, &QTimer::timeout, this, &TFromPictureForm::updatePreview);

    auto *gauge = new QHBoxLayout;
    gauge->addWidget(GaugeStitchesEdit);
    gauge->addWidget(new QLabel(QStringLiteral("петель"), this));
    gauge->addWidget(GaugeRowsEdit);
    gauge->addWidget(new QLabel(QStringLiteral("рядов"), this));
    auto *rowCount = new QHBoxLayout;
    rowCount->addWidget(RowsEdit);
    rowCount->addWidget(RowsLimitLabel);
    rowCount->addStretch();
    auto *fields = new QFormLayout;
    // Counts of a few digits in narrow fields leave the width to the preview.
    fields->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    fields->addRow(QStringLiteral("Петель:"), StitchesEdit);
    fields->addRow(QStringLiteral("Рядов:"), rowCount);
    fields->addRow(QStringLiteral("Плотность на 10 см:"), gauge);
    fields->addRow(QStringLiteral("Цветов:"), ColoursEdit);
    fields->addRow(QString(), DitherBox);

    OKButton = addDialogButton(this, "OKButton", QStringLiteral("OK"), QRect());
    OKButton->setDefault(true);
    CancelButton = addDialogButton(this, "CancelButton", QStringLiteral("Отмена"), QRect());
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKButton);
    buttons->addWidget(CancelButton);

    auto *left = new QVBoxLayout;
    left->addLayout(fields);
    left->addStretch();
    left->addLayout(buttons);
    auto *layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addWidget(Preview, 1);

    connect(OKButton, &QPushButton::clicked, this, &TFromPictureForm::OKButtonClick);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    for (WholeNumberField *edit : { StitchesEdit, GaugeStitchesEdit, GaugeRowsEdit })
        connect(edit->lineEdit(), &QLineEdit::textChanged, this, [this] {
            followGauge();
            schedulePreview();
        });
    connect(RowsEdit->lineEdit(), &QLineEdit::textChanged, this, [this] {
        if (!m_settingRows) {
            m_rowsEdited = true;
            RowsLimitLabel->hide();
        }
        schedulePreview();
    });
    connect(ColoursEdit->lineEdit(), &QLineEdit::textChanged, this, &TFromPictureForm::schedulePreview);
    connect(DitherBox, &QCheckBox::toggled, this, &TFromPictureForm::schedulePreview);
}

void TFromPictureForm::setPicture(const QImage &picture)
{
    m_picture = picture.convertToFormat(QImage::Format_RGBA8888);
    m_rowsEdited = false;
    m_averaged.reset();
    Result.reset();
    followGauge();
    updatePreview();
}

model::PictureView TFromPictureForm::pictureView() const
{
    return { m_picture.constBits(), m_picture.width(), m_picture.height(), m_picture.bytesPerLine() };
}

model::PictureConversion TFromPictureForm::conversion(bool settle) const
{
    const auto value = [settle](WholeNumberField *edit) { return settle ? edit->readValue() : edit->peekValue(); };
    return { value(StitchesEdit), value(RowsEdit), value(ColoursEdit), DitherBox->isChecked() };
}

void TFromPictureForm::followGauge()
{
    if (m_rowsEdited || m_picture.isNull())
        return;
    const model::Gauge gauge { GaugeStitchesEdit->peekValue(), GaugeRowsEdit->peekValue() };
    const auto rows = model::RowsForStitches(StitchesEdit->peekValue(), m_picture.width(), m_picture.height(), gauge);
    m_settingRows = true;
    RowsEdit->setValue(int(std::min<std::int64_t>(rows, MaxRows)));
    m_settingRows = false;
    RowsLimitLabel->setVisible(rows > MaxRows);
}

void TFromPictureForm::schedulePreview()
{
    m_previewTimer->start();
}

void TFromPictureForm::updatePreview()
{
    m_previewTimer->stop();
    if (m_picture.isNull())
        return;
    const model::PictureConversion settings = conversion(false);
    if (!m_averaged || m_averaged->stitches != settings.stitches || m_averaged->rows != settings.rows) {
        m_averaged.reset();
        auto averaged = model::AverageCells(pictureView(), settings.stitches, settings.rows);
        if (averaged.ok())
            m_averaged = std::move(averaged.value());
    }
    const auto made = m_averaged ? model::ReduceColours(*m_averaged, settings.colours, settings.dither)
                                 : model::Outcome<model::PatternFromPicture>(model::Failure {});
    // Stitches are wider than rows are tall by the ratio of rows to stitches in 10 cm.
    const double aspect = double(GaugeRowsEdit->peekValue()) / GaugeStitchesEdit->peekValue();
    Preview->setCells(made.ok() ? PatternImage(made.value().pattern) : QImage(), aspect);
}

void TFromPictureForm::OKButtonClick()
{
    auto made = model::ConvertPicture(pictureView(), conversion(true));
    if (!made.ok()) {
        // The dialog stays open, so smaller counts can be tried.
        ReportFailure(m_dialogs, made.failure(), Activity::Creating);
        return;
    }
    Result = std::move(made.value());
    accept();
}

void TFromPictureForm::done(int result)
{
    m_previewTimer->stop();
    QDialog::done(result);
}

void TFromPictureForm::showEvent(QShowEvent *event)
{
    centreOnDesktop(*this);
    StitchesEdit->setFocus();
    QDialog::showEvent(event);
}
