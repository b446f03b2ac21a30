#include "ui/IncomingFiles.h"

#include "picture/PictureFile.h"

#include <QDropEvent>
#include <QFileInfo>
#include <QMetaObject>
#include <QMimeData>
#include <QUrl>

namespace {

// A drop of several files is ignored rather than guessed at.
QString singleLocalFile(const QMimeData *data)
{
    if (!data || !data->hasUrls() || data->urls().size() != 1 || !data->urls().front().isLocalFile())
        return {};
    return data->urls().front().toLocalFile();
}

} // namespace

QString StartupPatternFile(const QStringList &arguments)
{
    if (arguments.size() < 2 || arguments.at(1).isEmpty())
        return {};
    const QString &argument = arguments.at(1);
    const QUrl url(argument);
    const QString path = url.isLocalFile() ? url.toLocalFile() : argument;
    return QFileInfo(path).absoluteFilePath();
}

QString DroppedPatternFile(const QMimeData *data)
{
    const QString path = singleLocalFile(data);
    return QFileInfo(path).suffix().compare(QLatin1String("plw"), Qt::CaseInsensitive) == 0 ? path : QString();
}

QString DroppedPictureFile(const QMimeData *data)
{
    const QString path = singleLocalFile(data);
    return isPictureFileName(path) ? path : QString();
}

void AcceptDragOf(QDragEnterEvent *event, DropPick pick)
{
    if (!pick(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void TakeDropOf(QDropEvent *event, DropPick pick, QObject *window, std::function<void(const QString &)> open)
{
    const QString path = pick(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    QMetaObject::invokeMethod(
        window, [open = std::move(open), path] { open(path); }, Qt::QueuedConnection);
}
