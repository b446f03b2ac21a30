#include "ui/Reformat.h"

#include "model/Limits.h"
#include "model/Resize.h"
#include "ui/DialogParts.h"
#include "ui/Main.h"
#include "ui/Messages.h"
#include "ui/UserDialogs.h"
#include "ui/WholeNumberField.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>
#include <tuple>

TReFormatForm *ReFormatForm = nullptr;

namespace {

constexpr int FieldMinimum = 1;
constexpr int FieldMaximum = 1000;
// The widest count a pattern can have, which the labels and fields must show whole.
const QString WidestCount = QString::number(model::MaxCount);

// A pattern grown past the usual range (by copying, say) keeps its count
// unless the user changes it.
int fieldMaximumFor(int count)
{
    return int(std::clamp<qint64>(count, FieldMaximum, model::MaxCount));
}

QFont countFont()
{
    QFont font(QStringLiteral("Times New Roman"));
    font.setPixelSize(19);
    return font;
}

QGroupBox *makeSideGroup(QWidget *parent, const char *name, const QString &first, const QString &second,
    std::array<QRadioButton *, 2> &items)
{
    auto *group = new QGroupBox(parent);
    group->setObjectName(QString::fromLatin1(name));
    items[0] = new QRadioButton(first, group);
    items[1] = new QRadioButton(second, group);
    items[0]->setGeometry(12, 22, 150, 20);
    items[1]->setGeometry(12, 44, 150, 20);
    items[0]->setChecked(true);
    group->hide();
    return group;
}

int chosenItem(const std::array<QRadioButton *, 2> &items)
{
    return items[1]->isChecked() ? 1 : 0;
}

} // namespace

TReFormatForm::TReFormatForm(TMainForm &owner, UserDialogs &dialogs)
    : QDialog(&owner)
    , m_owner(owner)
    , m_dialogs(dialogs)
{
    // The designed size until the first showing widens it to fit the counts.
    setUpFixedDialog(*this, "ReFormatForm", QStringLiteral("Изменение размера рисунка"), QSize(420, 190));

    auto addLine = [this](int top, const QString &caption, QLabel *&captionLabel, QLabel *&countLabel,
                       QLabel *&changeLabel, WholeNumberField *&field, const char *fieldName) {
        captionLabel = new QLabel(caption, this);
        captionLabel->setGeometry(12, top + 4, 186, 16);
        countLabel = addLabel(this, nullptr, QString(), countFont(), Qt::blue);
        changeLabel = new QLabel(QStringLiteral("изменить на"), this);
        field = new WholeNumberField(FieldMinimum, int(model::MaxCount), FieldMinimum, this);
        m_fieldWidth = std::max(m_fieldWidth, field->sizeHint().width());
        field->setMaximum(FieldMaximum);
        field->setObjectName(QString::fromLatin1(fieldName));
        changeLabel->setBuddy(field);
        field->setAccessibleName(caption);
    };
    addLine(12, QStringLiteral("Текущее количество рядов"), Label1, RowLabel, Label4, CSpinEdit2, "CSpinEdit2");
    RowLabel->setObjectName(QStringLiteral("RowLabel"));
    addLine(44, QStringLiteral("Текущее количество петель"), Label3, LoopLabel, Label2, CSpinEdit4, "CSpinEdit4");
    LoopLabel->setObjectName(QStringLiteral("LoopLabel"));

    RadioGroup = makeSideGroup(this, "RadioGroup", QStringLiteral("Сверху"), QStringLiteral("Снизу"), RadioGroupItems);
    RadioGroup->setGeometry(12, 78, 190, 70);
    RadioGroup1
        = makeSideGroup(this, "RadioGroup1", QStringLiteral("Справа"), QStringLiteral("Слева"), RadioGroup1Items);
    RadioGroup1->setGeometry(218, 78, 190, 70);

    OKButton = addDialogButton(this, "OKButton", QStringLiteral("Ok"), QRect(122, 156, 80, 25));
    OKButton->setDefault(true);
    CancelButton = addDialogButton(this, "CancelButton", QStringLiteral("Отмена"), QRect(218, 156, 80, 25));

    setTabOrder(CSpinEdit2, CSpinEdit4);
    setTabOrder(CSpinEdit4, OKButton);
    setTabOrder(OKButton, CancelButton);
    setTabOrder(CancelButton, RadioGroupItems[0]);
    setTabOrder(RadioGroupItems[0], RadioGroupItems[1]);
    setTabOrder(RadioGroupItems[1], RadioGroup1Items[0]);
    setTabOrder(RadioGroup1Items[0], RadioGroup1Items[1]);

    // Every change of the text, typed or set, re-judges the side groups.
    connect(CSpinEdit2->lineEdit(), &QLineEdit::textChanged, this, &TReFormatForm::CSpinEdit2Change);
    connect(CSpinEdit4->lineEdit(), &QLineEdit::textChanged, this, &TReFormatForm::CSpinEdit4Change);
    connect(OKButton, &QPushButton::clicked, this, &TReFormatForm::OKButtonClick);
    connect(CancelButton, &QPushButton::clicked, this, &TReFormatForm::CancelButtonClick);
}

void TReFormatForm::placeCountLines()
{
    // Seven-digit counts fit their label and field whatever the face.
    const int countWidth = std::max(48, QFontMetrics(countFont()).horizontalAdvance(WidestCount) + 6);
    const int changeLeft = 200 + countWidth + 2;
    for (const auto &[top, count, change, field] :
        { std::tuple(12, RowLabel, Label4, CSpinEdit2), std::tuple(44, LoopLabel, Label2, CSpinEdit4) }) {
        count->setGeometry(200, top, countWidth, 24);
        change->setGeometry(changeLeft, top + 4, 90, 16);
        field->setGeometry(changeLeft + 94, top, m_fieldWidth, 24);
    }
    setFixedSize(std::max(420, CSpinEdit2->geometry().right() + 13), 190);
}

void TReFormatForm::showEvent(QShowEvent *event)
{
    // Measured here, not at start-up: measuring loads the counts' face.
    if (!m_countLinesPlaced) {
        placeCountLines();
        m_countLinesPlaced = true;
    }
    centreOnDesktop(*this);
    FormActivate();
    CSpinEdit2->setFocus();
    QDialog::showEvent(event);
}

void TReFormatForm::FormActivate()
{
    const model::Pattern &pattern = m_owner.Pattern;
    RowLabel->setText(QString::number(pattern.RowCount));
    CSpinEdit2->setMaximum(fieldMaximumFor(pattern.RowCount));
    CSpinEdit2->setValue(pattern.RowCount);
    LoopLabel->setText(QString::number(pattern.StitchCount));
    CSpinEdit4->setMaximum(fieldMaximumFor(pattern.StitchCount));
    CSpinEdit4->setValue(pattern.StitchCount);
    // Run both even when a field's text did not change: after a resize the
    // fields already show the new counts, and the groups must hide anyway.
    CSpinEdit2Change();
    CSpinEdit4Change();
    RadioGroup->setTitle(QString());
    RadioGroup1->setTitle(QString());
}

void TReFormatForm::CSpinEdit2Change()
{
    const int rows = CSpinEdit2->peekValue();
    const int current = m_owner.Pattern.RowCount;
    RadioGroup->setVisible(rows != current);
    RadioGroup->setTitle(rows > current ? QStringLiteral("Добавить ряды") : QStringLiteral("Удалить ряды"));
}

void TReFormatForm::CSpinEdit4Change()
{
    const int stitches = CSpinEdit4->peekValue();
    const int current = m_owner.Pattern.StitchCount;
    RadioGroup1->setTitle(stitches > current ? QStringLiteral("Добавить петли") : QStringLiteral("Удалить петли"));
    RadioGroup1->setVisible(stitches != current);
}

void TReFormatForm::OKButtonClick()
{
    const int rows = CSpinEdit2->readValue();
    const int stitches = CSpinEdit4->readValue();
    model::Pattern &pattern = m_owner.Pattern;
    if (!pattern.exists() || (rows == pattern.RowCount && stitches == pattern.StitchCount)) {
        done(1);
        return;
    }
    UserDialogs &dialogs = m_dialogs;
    if (model::ResizeDropsCells(pattern, stitches, rows)
        && dialogs.message(this, QString(), Messages::CellsWillBeLost, QMessageBox::Yes | QMessageBox::No,
               UserDialogs::Icon::Question)
            != QMessageBox::Yes) {
        done(0);
        return;
    }
    const auto rowSide = chosenItem(RadioGroupItems) == 0 ? model::RowSide::Top : model::RowSide::Bottom;
    const auto stitchSide = chosenItem(RadioGroup1Items) == 0 ? model::StitchSide::Right : model::StitchSide::Left;
    model::Outcome<model::Pattern> resized = model::ResizePattern(pattern, stitches, rows, rowSide, stitchSide);
    if (!resized.ok()) {
        ReportFailure(dialogs, resized.failure(), Activity::Resizing);
        done(0);
        return;
    }
    pattern = std::move(resized.value());
    m_owner.AfterTransform();
    done(1);
}

void TReFormatForm::CancelButtonClick()
{
    done(0);
}
