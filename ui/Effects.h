#pragma once
// The transformations tool window: twelve picture buttons, one per
// whole-pattern operation, toggled from the "Эффекты" menu.

#include <QWidget>
#include <array>

class QToolButton;

class TEffectsForm : public QWidget {
    Q_OBJECT

public:
    explicit TEffectsForm(QWidget *parent = nullptr);

    static constexpr int ButtonCount = 12;
    // SpeedButton1 to SpeedButton12, in button order.
    std::array<QToolButton *, ButtonCount> SpeedButtons {};

    // The buttons only work while a pattern exists.
    void setOperationsEnabled(bool enabled);
    // Shared by the twelve buttons; `button` is 1..12.
    void SpeedButtonClick(int button);

signals:
    // `button` is 1..12; the owner runs the operation.
    void operationChosen(int button);
    // The close box hid the window; the owner clears its menu's check mark.
    void closedByUser();

protected:
    void closeEvent(QCloseEvent *event) override;
};

extern TEffectsForm *EffectsForm;
