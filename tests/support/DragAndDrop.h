#pragma once
// Drops files as the platform does: the events go to the native window, which
// hands them to the widget under the point that takes drops. Then runs what
// the drop queued. Gives whether the drop was taken.

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>
#include <QWindow>

inline bool dropFiles(QWidget &widget, const QStringList &paths, QPoint at = QPoint(40, 40))
{
    QMimeData data;
    QList<QUrl> urls;
    for (const QString &path : paths)
        urls.append(QUrl::fromLocalFile(path));
    data.setUrls(urls);
    const QPoint point = widget.mapTo(widget.window(), at);
    QDragEnterEvent enter(point, Qt::CopyAction, &data, Qt::LeftButton, {});
    QDropEvent drop(point, Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(widget.window()->windowHandle(), &enter);
    if (enter.isAccepted())
        QApplication::sendEvent(widget.window()->windowHandle(), &drop);
    QApplication::processEvents();
    return enter.isAccepted() && drop.isAccepted();
}
