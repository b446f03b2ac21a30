#include "ui/Messages.h"

#include "ui/Application.h"
#include "ui/FileNames.h"
#include "ui/SystemError.h"
#include "ui/UserDialogs.h"

#include "picture/PictureDecode.h"

#include <QApplication>

#include "model/PatternFile.h"

namespace {

QString outOfMemoryText(Activity activity)
{
    switch (activity) {
    case Activity::Creating:
        return QStringLiteral("Недостаточно памяти для создания рисунка");
    case Activity::Resizing:
        return QStringLiteral("Недостаточно памяти для изменения размера рисунка");
    case Activity::Transforming:
        break;
    }
    return QStringLiteral("Недостаточно памяти для преобразования рисунка");
}

} // namespace

QString ErrorReportText(const QString &text)
{
    if (!text.isEmpty() && text.back().unicode() > u'.')
        return text + QLatin1Char('.');
    return text;
}

void ShowErrorReport(UserDialogs &dialogs, const QString &text)
{
    dialogs.message(QApplication::activeWindow(), QString::fromLatin1(ApplicationTitle), ErrorReportText(text),
        QMessageBox::Ok, UserDialogs::Icon::Critical);
}

QString FailureText(const model::Failure &failure, Activity activity)
{
    using Kind = model::Failure::Kind;
    const QString name = UserFileName(failure.fileName);
    switch (failure.kind) {
    case Kind::NoPattern:
    case Kind::EmptyResult:
        return {};
    case Kind::TooLarge:
        if (!failure.fileName.empty())
            return Messages::PictureTooLarge(name, failure.stitchCount, failure.rowCount);
        return QStringLiteral("Рисунок станет слишком большим: %1 × %2").arg(failure.stitchCount).arg(failure.rowCount);
    case Kind::OutOfMemory:
        return outOfMemoryText(activity);
    case Kind::CannotRead:
        return QStringLiteral("Не удалось прочитать файл «%1»: %2").arg(name, SystemErrorText(failure.error));
    case Kind::FileTooLarge:
        return QStringLiteral("Файл «%1» слишком велик").arg(name);
    case Kind::Damaged:
        return QStringLiteral("Файл «%1» повреждён или не является файлом рисунка").arg(name);
    case Kind::CannotWrite: {
        QString reason = SystemErrorText(failure.error);
        if (failure.notesReplaced)
            reason += QStringLiteral("; файл текста «%1» уже заменён новым")
                          .arg(UserFileName(model::NotesFileName(failure.fileName)));
        return QStringLiteral("Не удалось сохранить файл «%1»: %2").arg(name, reason);
    }
    }
    return {};
}

void ReportFailure(UserDialogs &dialogs, const model::Failure &failure, Activity activity)
{
    if (const QString text = FailureText(failure, activity); !text.isEmpty())
        ShowErrorReport(dialogs, text);
}

QString PictureFailureText(const PictureFailure &failure)
{
    using Kind = PictureFailure::Kind;
    switch (failure.kind) {
    case Kind::Model:
        return FailureText(failure.model);
    case Kind::UnknownExtension:
        return Messages::UnknownPictureExtension(failure.suffix);
    case Kind::BitmapNotValid:
        return Messages::BitmapNotValid;
    case Kind::IconNotValid:
        return Messages::IconNotValid;
    case Kind::MetafileNotValid:
        return Messages::MetafileNotValid;
    case Kind::JpegError:
        return Messages::JpegError(failure.jpegCode);
    }
    return {};
}

namespace Messages {

QString YarnListNotRead(const QString &fileName)
{
    return QStringLiteral("Файл «%1» не был прочитан при запуске и не будет перезаписан").arg(UserFileName(fileName));
}

QString UnknownPictureExtension(const QString &suffix)
{
    return QStringLiteral("Unknown picture file extension (.%1)").arg(suffix);
}

QString JpegError(int code)
{
    return QStringLiteral("JPEG error #%1").arg(code);
}

QString PictureTooLarge(const QString &fileName, qint64 width, qint64 height)
{
    return QStringLiteral("Рисунок в файле «%1» слишком велик: %2 × %3")
        .arg(UserFileName(fileName))
        .arg(width)
        .arg(height);
}

} // namespace Messages
