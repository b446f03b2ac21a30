#pragma once
// Drops files on a window the way the platform does: the drag's enter and drop
// events go to the window's native window, which finds the widget under the
// point that takes drops. Then the events the drop queued are run.

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>
#include <QWindow>

// Whether the drop was taken.
inline bool dropFiles(QWidget &window, const QStringList &paths, QPoint at)
{
    QMimeData data;
    QList<QUrl> urls;
    for (const QString &path : paths)
        urls.append(QUrl::fromLocalFile(path));
    data.setUrls(urls);
    QWindow *native = window.window()->windowHandle();
    if (!native)
        return false;
    const QPointF point = window.mapTo(window.window(), at);
    QDragEnterEvent enter(point.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(native, &enter);
    bool taken = false;
    if (enter.isAccepted()) {
        QDropEvent drop(point, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(native, &drop);
        taken = drop.isAccepted();
    } else {
        QDragLeaveEvent leave;
        QApplication::sendEvent(native, &leave);
    }
    QApplication::processEvents();
    return taken;
}
