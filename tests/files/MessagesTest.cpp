// How each failure of the model reads for the user.
#include "ui/Messages.h"
#include "ui/SystemError.h"

#include "model/Outcome.h"

#include <cerrno>

#include <gtest/gtest.h>

using model::Failure;
using Kind = Failure::Kind;

TEST(FailureMessages, EachKindNamesItsFileItsCountsOrWhatWasBeingDone)
{
    Failure notesFirst = Failure::fromErrno(Kind::CannotWrite, "/knit/motif.plw", EROFS);
    notesFirst.notesReplaced = true;
    const struct {
        Failure failure;
        Activity activity;
        QString text;
    } cases[] = {
        { Failure::of(Kind::NoPattern), Activity::Transforming, QString() },
        { Failure::of(Kind::EmptyResult), Activity::Transforming, QString() },
        { Failure::tooLarge(2097152, 1), Activity::Transforming,
            QStringLiteral("Рисунок станет слишком большим: 2097152 × 1") },
        { Failure::tooLarge(9000, 9000, "/knit/big.plw"), Activity::Transforming,
            QStringLiteral("Рисунок в файле «/knit/big.plw» слишком велик: 9000 × 9000") },
        { Failure::of(Kind::OutOfMemory), Activity::Transforming,
            QStringLiteral("Недостаточно памяти для преобразования рисунка") },
        { Failure::of(Kind::OutOfMemory), Activity::Resizing,
            QStringLiteral("Недостаточно памяти для изменения размера рисунка") },
        { Failure::of(Kind::OutOfMemory), Activity::Creating,
            QStringLiteral("Недостаточно памяти для создания рисунка") },
        { Failure::fromErrno(Kind::CannotRead, "/knit/a.plw", EISDIR), Activity::Transforming,
            QStringLiteral("Не удалось прочитать файл «/knit/a.plw»: %1").arg(SystemErrorText(EISDIR)) },
        { Failure::of(Kind::FileTooLarge, "/knit/a.plw.txt"), Activity::Transforming,
            QStringLiteral("Файл «/knit/a.plw.txt» слишком велик") },
        { Failure::of(Kind::Damaged, "/knit/a.plw"), Activity::Transforming,
            QStringLiteral("Файл «/knit/a.plw» повреждён или не является файлом рисунка") },
        { notesFirst, Activity::Transforming,
            QStringLiteral("Не удалось сохранить файл «/knit/motif.plw»: %1; файл текста «/knit/motif.plw.txt» уже "
                           "заменён новым")
                .arg(SystemErrorText(EROFS)) },
        // A call that failed without a reason still gives one.
        { Failure::fromErrno(Kind::CannotWrite, "x.bmp", 0), Activity::Transforming,
            QStringLiteral("Не удалось сохранить файл «x.bmp»: %1").arg(SystemErrorText(EIO)) },
    };
    for (const auto &c : cases)
        EXPECT_EQ(FailureText(c.failure, c.activity), c.text) << int(c.failure.kind);
}
