#include "ui/Picture.h"

#include "ui/IncomingFiles.h"
#include "ui/Messages.h"
#include "ui/PictureView.h"
#include "ui/ToolWindowMinimise.h"

#include "picture/PictureFile.h"

#include <QCloseEvent>
#include <QFutureWatcher>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollArea>
#include <QVBoxLayout>
#include <QWindow>
#include <QtConcurrent/QtConcurrentRun>

TPictureForm *PictureForm = nullptr;

namespace {

const QRect OuterFrame(583, 72, 223, 506);

} // namespace

TPictureForm::TPictureForm(UserDialogs &dialogs, QWidget *parent)
    : QWidget(parent)
    , m_dialogs(dialogs)
{
    setObjectName("PictureForm");
    // A tool window stays above its owner, the main window, and below the dialogs.
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    keepOwnerUpWhenMinimised(*this, [this] { close(); });
    setWindowTitle(QStringLiteral("Двойной клик для загрузки рисунка"));
    setToolTip(QStringLiteral("Щелкните два раза кнопкой мыши для загрузки рисунка"));
    move(OuterFrame.topLeft());
    setAcceptDrops(true);
    resize(OuterFrame.size());

    ScrollBox = new QScrollArea(this);
    ScrollBox->setObjectName(QStringLiteral("ScrollBox"));
    ScrollBox->setFrameShape(QFrame::NoFrame);
    ScrollBox->setWidgetResizable(false);
    ScrollBox->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Image = new PictureView;
    Image->setObjectName(QStringLiteral("Image"));
    Image->resize(0, 0);
    ScrollBox->setWidget(Image);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(ScrollBox);
    ScrollBox->viewport()->installEventFilter(this);

    PictureMenu = new QMenu(this);
    CreatePatternMenu = PictureMenu->addAction(QStringLiteral("Создать рисунок по картинке..."));
    CreatePatternMenu->setObjectName(QStringLiteral("CreatePatternMenu"));
    connect(CreatePatternMenu, &QAction::triggered, this, &TPictureForm::patternFromPictureRequested);
    Image->installEventFilter(this);
}

FileDialogRequest TPictureForm::openPictureRequest()
{
    FileDialogRequest request;
    request.title = QStringLiteral("Открытие файла с рисунком...");
    request.filter = QStringLiteral("All (*.jpg *.jpeg *.bmp *.ico *.emf *.wmf);;"
                                    "JPEG Image File (*.jpg);;"
                                    "JPEG Image File (*.jpeg);;"
                                    "Bitmaps (*.bmp);;"
                                    "Icons (*.ico);;"
                                    "Enhanced Metafiles (*.emf);;"
                                    "Metafiles (*.wmf)");
    return request;
}

void TPictureForm::ImageDblClick()
{
    FileDialogRequest request = openPictureRequest();
    request.initialPath = m_lastFile;
    const QString path = m_dialogs.openFileName(this, request);
    if (path.isEmpty())
        return;
    m_lastFile = path;
    loadPicture(path);
}

void TPictureForm::loadPicture(const QString &path)
{
    const quint64 load = ++m_loadsStarted;
    m_loadPending = true;
    setCursor(Qt::BusyCursor);
    m_loading = QtConcurrent::run([path] { return readPictureFile(path); });
    auto *watcher = new QFutureWatcher<PictureOutcome>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, load] {
        watcher->deleteLater();
        if (load == m_loadsStarted && m_loadPending) {
            m_loadPending = false;
            showLoaded(watcher->result());
        }
    });
    watcher->setFuture(m_loading);
}

void TPictureForm::finishLoading()
{
    if (!m_loadPending)
        return;
    m_loadPending = false;
    showLoaded(m_loading.result());
}

void TPictureForm::showLoaded(const PictureOutcome &result)
{
    unsetCursor();
    if (!result.ok()) {
        ShowErrorReport(m_dialogs, PictureFailureText(result.failure()));
        return;
    }
    m_picture = result.value();
    Image->setPicture(m_picture);
}

void TPictureForm::dragEnterEvent(QDragEnterEvent *event)
{
    AcceptDragOf(event, DroppedPictureFile);
}

void TPictureForm::dropEvent(QDropEvent *event)
{
    TakeDropOf(event, DroppedPictureFile, this, [this](const QString &path) {
        m_lastFile = path;
        loadPicture(path);
    });
}

void TPictureForm::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        ImageDblClick();
}

void TPictureForm::contextMenuEvent(QContextMenuEvent *event)
{
    CreatePatternMenu->setEnabled(!m_picture.isNull());
    PictureMenu->popup(event->globalPos());
}

bool TPictureForm::eventFilter(QObject *watched, QEvent *event)
{
    // The picture and the empty scroll area around it both load on a double click.
    if (event->type() == QEvent::MouseButtonDblClick && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        ImageDblClick();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TPictureForm::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!m_placed) {
        m_placed = true;
        placeOuterFrame();
    }
}

bool TPictureForm::event(QEvent *event)
{
    // A window manager reports its frame only after mapping; the first
    // report corrects the size so the outer frame keeps its designed size.
    if (event->type() == QEvent::Move && m_placed && !m_frameKnown && frameGeometry().size() != size()) {
        m_frameKnown = true;
        placeOuterFrame();
    }
    return QWidget::event(event);
}

void TPictureForm::placeOuterFrame()
{
    const QSize frame = frameGeometry().size() - size();
    m_frameKnown = !frame.isEmpty();
    resize(OuterFrame.size() - frame);
    move(OuterFrame.topLeft());
}

void TPictureForm::closeEvent(QCloseEvent *event)
{
    // The close box only hides the window; it is never refused.
    event->accept();
    emit closedByUser();
}
