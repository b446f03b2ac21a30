#pragma once
// Every text the program shows in a message box, and the one place where a
// failure of the model or of a picture reader becomes a message.

#include "model/Outcome.h"

#include <QString>

class UserDialogs;
struct PictureFailure;

// The general error report, for every failure: error icon, OK, captioned
// with the application title, a full stop appended when the text's last
// character has a code above that of ".". The program then goes on.
void ShowErrorReport(UserDialogs &dialogs, const QString &text);
QString ErrorReportText(const QString &text);

// What the user asked for when memory ran out; the text names it.
enum class Activity { Creating, Transforming, Resizing };

// The text for a failure of the model. NoPattern and EmptyResult are
// refusals without a message: the text is empty.
QString FailureText(const model::Failure &failure, Activity activity = Activity::Transforming);
// Shows the text through the general error report, unless it is empty: how
// every failure of the model reaches the user.
void ReportFailure(UserDialogs &dialogs, const model::Failure &failure, Activity activity = Activity::Transforming);
// The text for a picture that could not be read.
QString PictureFailureText(const PictureFailure &failure);

namespace Messages {

// Captions.
inline const QString WarningCaption = QStringLiteral("Предупреждение");
inline const QString PrintCaption = QStringLiteral("Печать...");
inline const QString ExitCaption = QStringLiteral("Выход");
inline const QString NewPatternCaption = QStringLiteral("Новый рисунок");

// Questions and confirmations.
inline const QString SaveQuestion = QStringLiteral("Вы хотите сохранить текущий рисунок?");
inline const QString CellsWillBeLost = QStringLiteral("Часть рисунка исчезнет! Продолжить?");
inline const QString PatternSaved = QStringLiteral("Рисунок успешно сохранен");
inline const QString PatternPrinted = QStringLiteral("Рисунок успешно отправлен на принтер");

// Refusals and failures outside the model.
inline const QString NoYarnName = QStringLiteral("Вы не ввели название цвета");
inline const QString YarnNameNotStorable = QStringLiteral("Название цвета содержит знаки, которые нельзя сохранить");
inline const QString NoPrinter = QStringLiteral("Не установлен ни один принтер");
inline const QString PrintNotStarted = QStringLiteral("Не удалось начать печать");
inline const QString PrintFailed = QStringLiteral("Не удалось напечатать рисунок");
inline const QString PreviewTooLarge = QStringLiteral("Рисунок слишком велик для просмотра в этом масштабе");
inline const QString UnknownError = QStringLiteral("Неизвестная ошибка");
QString YarnListNotRead(const QString &fileName);

// The picture readers' own texts, which stay in English as the readers give them.
QString UnknownPictureExtension(const QString &suffix);
inline const QString BitmapNotValid = QStringLiteral("Bitmap image is not valid");
inline const QString IconNotValid = QStringLiteral("Icon image is not valid");
inline const QString MetafileNotValid = QStringLiteral("Metafile is not valid");
QString JpegError(int code);
QString PictureTooLarge(const QString &fileName, qint64 width, qint64 height);

} // namespace Messages
