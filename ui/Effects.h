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

protected:
    // The close box hides the window and clears the menu's check mark.
    void closeEvent(QCloseEvent *event) override;
};

extern TEffectsForm *EffectsForm;
