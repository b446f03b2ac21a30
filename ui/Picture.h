#pragma once
// The reference picture window: shows a picture file at its natural size so
// a motif can be copied into the grid by eye. Hidden, never destroyed; the
// picture stays until the next successful load.

#include "ui/PictureView.h"
#include "ui/UserDialogs.h"

#include "picture/PictureDecode.h"

#include <QFuture>
#include <QImage>
#include <QWidget>

class QAction;
class QMenu;
class QScrollArea;

class TPictureForm : public QWidget {
    Q_OBJECT

public:
    // `dialogs` receives the open dialog and the error report.
    explicit TPictureForm(UserDialogs &dialogs, QWidget *parent = nullptr);

    QScrollArea *ScrollBox = nullptr;
    PictureView *Image = nullptr;
    // The right button's menu: make a pattern from the picture shown.
    QMenu *PictureMenu = nullptr;
    QAction *CreatePatternMenu = nullptr;

    // The open dialog's title and filter list.
    static FileDialogRequest openPictureRequest();

    void ImageDblClick();
    // Starts reading the file on a worker thread, so the window keeps
    // answering while a large picture decodes; a later load supersedes it.
    // The picture is replaced only when the whole file was read; otherwise
    // the error report shows why and the old picture stays.
    void loadPicture(const QString &path);
    // Waits for the load under way, if any, and shows its outcome now.
    void finishLoading();
    // The picture shown, as pixels (a metafile is drawn for the asking).
    QImage picture() const { return m_picture.toImage(); }

signals:
    // The close box hid the window.
    void closedByUser();
    // "Создать рисунок по картинке..." was chosen.
    void patternFromPictureRequested();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    bool event(QEvent *event) override;
    // A dropped picture file loads as a double click and its dialog would.
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void placeOuterFrame();
    void showLoaded(const PictureOutcome &result);

    UserDialogs &m_dialogs;
    Picture m_picture;
    QFuture<PictureOutcome> m_loading;
    // Counts loads started, so the outcome of a superseded one is dropped.
    quint64 m_loadsStarted = 0;
    bool m_loadPending = false;
    QString m_lastFile;
    bool m_placed = false;
    bool m_frameKnown = false;
};

extern TPictureForm *PictureForm;
