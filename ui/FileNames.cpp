#include "ui/FileNames.h"

#include <QDir>
#include <QFile>

std::string ModelFileName(const QString &fileName)
{
    return QFile::encodeName(fileName).toStdString();
}

QString UserFileName(const std::string &fileName)
{
    return UserFileName(QFile::decodeName(QByteArray::fromStdString(fileName)));
}

QString UserFileName(const QString &fileName)
{
    return QDir::toNativeSeparators(fileName);
}
