#include "ui/Effects.h"

#include "ui/EffectsImages.h"
#include "ui/LazyIcon.h"
#include "ui/ToolWindowMinimise.h"
#include "ui/WindowPlacement.h"

#include <QCloseEvent>
#include <QToolButton>

TEffectsForm *EffectsForm = nullptr;

namespace {

constexpr int ButtonSize = 32;
constexpr int OuterWidth = 103;
constexpr int Columns = 3;
constexpr int Rows = TEffectsForm::ButtonCount / Columns;

const char *const Hints[TEffectsForm::ButtonCount] = {
    "Копирование по горизонтали",
    "Копирование по вертикали",
    "Поворот на 90 градусов влево",
    "Реверс по горизонтали",
    "Реверс по вертикали",
    "Поворот на 90 градусов вправо",
    "Удвоение каждого ряда по высоте",
    "Удвоение каждого столбца по ширине",
    "Негатив",
    "Зеркальное отображение по горизонтали",
    "Зеркальное отображение по вертикали",
    "Вставка пустых рядов по горизонтали, через два ряда",
};

} // namespace

TEffectsForm::TEffectsForm(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("EffectsForm"));
    // A tool window stays above its owner, the main window, and below the dialogs.
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowCloseButtonHint);
    keepOwnerUpWhenMinimised(*this, [this] { close(); });
    setWindowTitle(QString());

    for (int i = 0; i < ButtonCount; ++i) {
        auto *button = new QToolButton(this);
        const int number = i + 1;
        button->setObjectName(QStringLiteral("SpeedButton%1").arg(number));
        button->setGeometry(1 + (i % Columns) * ButtonSize, 1 + (i / Columns) * ButtonSize, ButtonSize, ButtonSize);
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setIcon(lazyIcon([number] { return QIcon(effectsButtonPixmap(number)); }));
        button->setIconSize(QSize(EffectsImageWidth, EffectsImageHeight));
        const QString hint = QString::fromUtf8(Hints[i]);
        button->setToolTip(hint);
        button->setAccessibleName(hint);
        connect(button, &QToolButton::clicked, this, [this, number] { SpeedButtonClick(number); });
        SpeedButtons[i] = button;
    }

    // Outer width 103 at 527, 120; a frame thicker than the usual one pixel
    // a side must not cut the buttons, so the client keeps at least their width.
    constexpr int ButtonsWidth = 1 + Columns * ButtonSize + 1;
    constexpr int ClientHeight = 130;
    static_assert(1 + Rows * ButtonSize + 1 <= ClientHeight);
    setFixedSize(ButtonsWidth, ClientHeight);
    new WindowPlacement(*this, WindowPlacement::When::FirstShowing, true, [](const QMargins &frame) {
        const int sides = frame.left() + frame.right();
        const int width = std::max(OuterWidth, ButtonsWidth + sides);
        return QRect(527, 120, width, ClientHeight + frame.top() + frame.bottom());
    });
}

void TEffectsForm::setOperationsEnabled(bool enabled)
{
    for (QToolButton *button : SpeedButtons)
        button->setEnabled(enabled);
}

void TEffectsForm::SpeedButtonClick(int button)
{
    emit operationChosen(button);
}

void TEffectsForm::closeEvent(QCloseEvent *event)
{
    QWidget::closeEvent(event);
    emit closedByUser();
}
