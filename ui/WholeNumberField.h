#pragma once
// A whole-number spin field that lets any text be typed and settles it only
// when read: text that is not a whole number reads as the minimum, a number
// outside the range reads as the nearer end, and the field shows what was read.

#include <QSpinBox>

class WholeNumberField : public QSpinBox {
    Q_OBJECT

public:
    WholeNumberField(int minimum, int maximum, int value, QWidget *parent = nullptr);

    // The settled value; rewrites the text when it had to be corrected.
    int readValue();
    // The value the current text stands for, without touching the text.
    int peekValue() const;
    // The text as typed, for readers and for tests that type into it.
    using QAbstractSpinBox::lineEdit;

protected:
    QValidator::State validate(QString &input, int &pos) const override;
    void fixup(QString &input) const override;
};
