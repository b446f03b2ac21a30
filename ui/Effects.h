#pragma once
// The transformations tool window.

#include <QWidget>

class TEffectsForm : public QWidget {
    Q_OBJECT

public:
    explicit TEffectsForm(QWidget *parent = nullptr);

    // The buttons only work while a pattern exists.
    void setOperationsEnabled(bool enabled);
};

extern TEffectsForm *EffectsForm;
