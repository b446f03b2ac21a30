#pragma once
// The print preview: the whole pattern as a picture at one of eleven scales,
// with or without grid lines, which can be printed on one page or saved as a
// bitmap.

#include <QDialog>
#include <QImage>
#include <memory>

class QCheckBox;
class QComboBox;
class QPrinter;
class QPushButton;
class QScrollArea;
class PreviewCanvas;
class TMainForm;
class UserDialogs;

class TPreviewForm : public QDialog {
    Q_OBJECT

public:
    // Owned by `owner`; messages go to `dialogs`.
    TPreviewForm(TMainForm &owner, UserDialogs &dialogs);
    ~TPreviewForm() override;

    QComboBox *CBProcent = nullptr;
    QPushButton *PrintButton = nullptr;
    QPushButton *BMPButton = nullptr;
    QPushButton *CancelButton = nullptr;
    QCheckBox *CBGrid = nullptr;
    QScrollArea *ScrollBox = nullptr;
    PreviewCanvas *Image = nullptr;

    // The picture printing and saving use; null until one could be drawn.
    const QImage &image() const { return m_image; }
    // The program's one printer, shared with the printer set-up command.
    QPrinter &printer();
    // Replaces that printer; the next print and printer set-up use the new one.
    void setPrinter(std::unique_ptr<QPrinter> printer);

    void FormShow();
    void CBProcentChange();
    void CBGridClick();
    void CancelButtonClick();
    // Draws the current pattern with cells of cellSize pixels. A picture too
    // large to hold is reported and the previous one stays; returns false then.
    bool DrawPreview(int cellSize);
    void PrintButtonClick();
    void BMPButtonClick();

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void fitScrollBox();
    void releasePicture();

    QImage m_image;
    int m_imageScale = -1; // the CBProcent item the picture was drawn at
    std::unique_ptr<QPrinter> m_printer;
    TMainForm &m_owner;
    UserDialogs &m_dialogs;
};

extern TPreviewForm *PreviewForm;
