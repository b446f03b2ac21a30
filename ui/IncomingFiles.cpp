#include "ui/IncomingFiles.h"

#include "ui/PictureFile.h"

#include <QFileInfo>
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
