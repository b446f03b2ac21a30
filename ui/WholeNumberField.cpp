#include "ui/WholeNumberField.h"

#include <QLineEdit>
#include <algorithm>

WholeNumberField::WholeNumberField(int minimum, int maximum, int value, QWidget *parent)
    : QSpinBox(parent)
{
    setRange(minimum, maximum);
    setValue(value);
    setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
}

int WholeNumberField::peekValue() const
{
    bool ok = false;
    const qlonglong number = lineEdit()->text().trimmed().toLongLong(&ok);
    if (!ok)
        return minimum();
    return int(std::clamp<qlonglong>(number, minimum(), maximum()));
}

int WholeNumberField::readValue()
{
    const int settled = peekValue();
    if (lineEdit()->text() != QString::number(settled)) {
        setValue(settled);
        lineEdit()->setText(QString::number(settled));
    }
    return settled;
}

QValidator::State WholeNumberField::validate(QString &input, int &pos) const
{
    // Anything may be typed; the field settles it when read or left.
    const QValidator::State state = QSpinBox::validate(input, pos);
    return state == QValidator::Acceptable ? state : QValidator::Intermediate;
}

void WholeNumberField::fixup(QString &input) const
{
    bool ok = false;
    const qlonglong number = input.trimmed().toLongLong(&ok);
    input = QString::number(ok ? std::clamp<qlonglong>(number, minimum(), maximum()) : minimum());
}
