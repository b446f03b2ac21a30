#pragma once
// The notes file's bytes and the notes window's text. On disk the notes are
// Windows-1251 with CR LF line ends and no line end after the last line; text
// that Windows-1251 cannot hold is written as UTF-8 with a byte-order mark
// instead, so no character is ever lost. In the window lines end with "\n".

#include <QByteArray>
#include <QString>

// Text with "\n" line ends to the bytes of the notes file.
QByteArray EncodeNotes(const QString &text);
// The bytes of a notes file to text with "\n" line ends; every CR LF, lone CR
// and lone LF is one line end.
QString DecodeNotes(const QByteArray &bytes);
