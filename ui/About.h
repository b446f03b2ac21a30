#pragma once
// The about box: the program's name, version and date, and two links that
// grow under the mouse.

#include <QDialog>
#include <QUrl>
#include <functional>

class QLabel;
class QPushButton;

class TAboutForm : public QDialog {
    Q_OBJECT

public:
    explicit TAboutForm(QWidget *parent = nullptr);

    QLabel *Image1 = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *Label4 = nullptr;
    QLabel *Label5 = nullptr;
    QLabel *Label6 = nullptr;
    QLabel *Label7 = nullptr;
    QLabel *Label8 = nullptr;
    QPushButton *OKButton = nullptr;

    // Opens a link; the desktop's handler unless a test puts its own here.
    // Whatever it returns is ignored and the box stays open.
    std::function<bool(const QUrl &)> openUrl;

    void OKButtonClick();
    void Label4Click();
    void Label7Click();
    void Label4MouseMove();
    void Label7MouseMove();
    void FormMouseMove();

protected:
    void showEvent(QShowEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool m_placed = false;
};

extern TAboutForm *AboutForm;

// The 32 x 32 picture in the box: the program's icon in the 16 standard colours.
QPixmap aboutBoxIcon();
