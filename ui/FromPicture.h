#pragma once
// The dialog "Рисунок по картинке": makes a pattern from the reference
// picture at a chosen size, gauge and number of colours, with a live preview.

#include "model/PictureToPattern.h"

#include <QDialog>
#include <QImage>
#include <optional>

class QCheckBox;
class QLabel;
class QPushButton;
class QTimer;
class WholeNumberField;
class UserDialogs;

// The result drawn as cells, scaled to fit, each cell as wide for its
// height as the knitted stitch will be.
class CellPreview : public QWidget {
    Q_OBJECT

public:
    explicit CellPreview(QWidget *parent = nullptr);
    void setCells(QImage cells, double cellAspect);
    const QImage &cells() const { return m_cells; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage m_cells; // one pixel per cell
    double m_cellAspect = 1; // width over height
};

class TFromPictureForm : public QDialog {
    Q_OBJECT

public:
    TFromPictureForm(UserDialogs &dialogs, QWidget *parent);

    // The picture to convert; rows follow it again until the user edits them.
    void setPicture(const QImage &picture);
    // Set by OK; the caller takes it.
    std::optional<model::PatternFromPicture> Result;

    WholeNumberField *StitchesEdit = nullptr;
    WholeNumberField *RowsEdit = nullptr;
    WholeNumberField *GaugeStitchesEdit = nullptr;
    WholeNumberField *GaugeRowsEdit = nullptr;
    WholeNumberField *ColoursEdit = nullptr;
    QCheckBox *DitherBox = nullptr;
    // Shown while the gauge asks for more rows than a pattern may have.
    QLabel *RowsLimitLabel = nullptr;
    CellPreview *Preview = nullptr;
    QPushButton *OKButton = nullptr;
    QPushButton *CancelButton = nullptr;

    void OKButtonClick();
    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    model::PictureConversion conversion(bool settle) const;
    model::PictureView pictureView() const;
    void followGauge();
    void schedulePreview();
    void updatePreview();

    UserDialogs &m_dialogs;
    QImage m_picture; // RGBA 8888, straight alpha
    // The last averaging, kept while only the colour count or dithering changes.
    std::optional<model::AveragedCells> m_averaged;
    // Field changes that come together (the rows following the stitches, keys
    // typed while a preview was drawn) make one preview once events are handled.
    QTimer *m_previewTimer = nullptr;
    bool m_rowsEdited = false;
    bool m_settingRows = false;
};

// The cells as an image, one pixel per stitch, grid row 0 at the top.
QImage PatternImage(const model::Pattern &pattern);
