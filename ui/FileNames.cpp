#include "ui/FileNames.h"

#include <QDir>
#include <QFile>

std::string ModelFileName(const QString &fileName)
{
    return QFile::encodeName(fileName).toStdString();
}

QString UserFileName(const std::string &fileName)
{
    return QDir::toNativeSeparators(QFile::decodeName(QByteArray::fromStdString(fileName)));
}
