// System reasons read in Russian, whatever the system's own language.
#include "ui/SystemError.h"
#include "ui/Messages.h"

#include "model/Outcome.h"

#include <QRegularExpression>
#include <QSet>
#include <cerrno>

#include <gtest/gtest.h>

TEST(SystemErrors, EveryFileReasonReadsInRussianAndSaysWhatWentWrong)
{
    const int errors[] = { EACCES, ENOENT, ENOSPC, EMFILE, EPERM, EIO, EISDIR, ENOTDIR, EROFS, EFBIG, EDQUOT, ELOOP,
        ENAMETOOLONG, ENOMEM, EEXIST, EBUSY, ETXTBSY, EXDEV, EINVAL, ENXIO, ESPIPE, model::NotRegularFileError };
    const QRegularExpression latin(QStringLiteral("[A-Za-z]"));
    const QRegularExpression cyrillic(QStringLiteral("[А-Яа-яЁё]"));
    QSet<QString> seen;
    for (const int error : errors) {
        const QString text = SystemErrorText(error);
        EXPECT_FALSE(text.contains(latin)) << error << ": " << text.toStdString();
        EXPECT_TRUE(text.contains(cyrillic)) << error << ": " << text.toStdString();
        // A catch-all text would tell the user nothing.
        EXPECT_FALSE(seen.contains(text)) << error << ": " << text.toStdString();
        seen.insert(text);
        // A failed save gives this text as its reason.
        const auto failure = model::Failure::fromErrno(model::Failure::Kind::CannotWrite, "/tmp/motif.plw", error);
        EXPECT_EQ(FailureText(failure), QStringLiteral("Не удалось сохранить файл «/tmp/motif.plw»: %1").arg(text))
            << error;
    }
}
