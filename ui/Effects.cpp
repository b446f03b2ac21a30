#include "ui/Effects.h"

#include "ui/EffectsImages.h"
#include "ui/Main.h"

#include <QAction>
#include <QCloseEvent>
#include <QToolButton>

TEffectsForm *EffectsForm = nullptr;

namespace {

constexpr int ButtonSize = 32;
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
    setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowCloseButtonHint);
    setWindowTitle(QString());
    move(527, 120);

    for (int i = 0; i < ButtonCount; ++i) {
        auto *button = new QToolButton(this);
        const int number = i + 1;
        button->setObjectName(QStringLiteral("SpeedButton%1").arg(number));
        button->setGeometry(1 + (i % Columns) * ButtonSize, 1 + (i / Columns) * ButtonSize, ButtonSize, ButtonSize);
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setIcon(QIcon(effectsButtonPixmap(number)));
        button->setIconSize(QSize(EffectsImageWidth, EffectsImageHeight));
        const QString hint = QString::fromUtf8(Hints[i]);
        button->setToolTip(hint);
        button->setAccessibleName(hint);
        connect(button, &QToolButton::clicked, this, [this, number] { SpeedButtonClick(number); });
        SpeedButtons[i] = button;
    }

    // The design's 115 pixels would leave an empty strip, and its trimmed
    // outer width of 103 fits only thin frames: hug the buttons instead, with
    // the same one-pixel margin on the right as on the left.
    setFixedSize(1 + Columns * ButtonSize + 1, 130);
    static_assert(1 + Rows * ButtonSize + 1 <= 130);
}

void TEffectsForm::setOperationsEnabled(bool enabled)
{
    for (QToolButton *button : SpeedButtons)
        button->setEnabled(enabled);
}

void TEffectsForm::SpeedButtonClick(int button)
{
    MainForm->RunTransformButton(button);
}

void TEffectsForm::closeEvent(QCloseEvent *event)
{
    QWidget::closeEvent(event);
    if (MainForm)
        MainForm->CB1Menu->setChecked(false);
}
