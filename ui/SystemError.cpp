#include "ui/SystemError.h"

#include "model/Outcome.h"

#include <QCoreApplication>
#include <cerrno>

namespace {

// Qt translates only these few, in the context its file classes use.
const char *qtText(int error)
{
    switch (error) {
    case EACCES:
        return "Permission denied";
    case EMFILE:
        return "Too many open files";
    case ENOENT:
        return "No such file or directory";
    case ENOSPC:
        return "No space left on device";
    }
    return nullptr;
}

const char *programText(int error)
{
    switch (error) {
    case model::NotRegularFileError:
        return "Не является обычным файлом";
    case EPERM:
        return "Операция не позволена";
    case EIO:
        return "Ошибка ввода-вывода";
    case ENXIO:
        return "Нет такого устройства или адреса";
    case EBADF:
        return "Неверный дескриптор файла";
    case EAGAIN:
        return "Ресурс временно недоступен";
    case ENOMEM:
        return "Недостаточно памяти";
    case EBUSY:
        return "Устройство или ресурс занято";
    case EEXIST:
        return "Файл существует";
    case EXDEV:
        return "Файлы на разных устройствах";
    case ENODEV:
        return "Нет такого устройства";
    case ENOTDIR:
        return "Не является каталогом";
    case EISDIR:
        return "Это каталог";
    case EINVAL:
        return "Недопустимый аргумент";
    case ENFILE:
        return "Слишком много открытых файлов в системе";
    case ETXTBSY:
        return "Текстовый файл занят";
    case EFBIG:
        return "Файл слишком велик";
    case ESPIPE:
        return "Недопустимое перемещение в файле";
    case EROFS:
        return "Файловая система доступна только для чтения";
    case EMLINK:
        return "Слишком много ссылок";
    case ENAMETOOLONG:
        return "Слишком длинное имя файла";
    case ELOOP:
        return "Слишком много уровней символьных ссылок";
    case EDQUOT:
        return "Превышена дисковая квота";
    case ESTALE:
        return "Устаревший дескриптор файла";
    case EINTR:
        return "Прерван системный вызов";
    case EOVERFLOW:
        return "Значение слишком велико для типа данных";
    case ENOTEMPTY:
        return "Каталог не пуст";
    case ETIMEDOUT:
        return "Время ожидания истекло";
    case ENOTCONN:
        return "Нет соединения";
    case EOPNOTSUPP:
        return "Операция не поддерживается";
    }
    return nullptr;
}

} // namespace

QString SystemErrorText(int error)
{
    if (const char *text = qtText(error))
        return QCoreApplication::translate("QIODevice", text);
    if (const char *text = programText(error))
        return QString::fromUtf8(text);
    return QStringLiteral("%1 (%2)").arg(QCoreApplication::translate("QIODevice", "Unknown error")).arg(error);
}
