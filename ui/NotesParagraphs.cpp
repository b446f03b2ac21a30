#include "ui/NotesParagraphs.h"

#include <QStringView>

namespace {

constexpr qsizetype LinesBeforeGrouping = 4096;
constexpr int LinesPerParagraph = 32;
// Laying out 16 K characters without a space takes some 30 ms; lines up to
// that stay whole, longer ones go into pieces of at most 8 K.
constexpr qsizetype LongestParagraph = 16384;
constexpr qsizetype PieceLength = 8192;

qsizetype longestLine(const QString &text)
{
    qsizetype longest = 0;
    for (qsizetype start = 0; start <= text.size();) {
        qsizetype end = text.indexOf(QLatin1Char('\n'), start);
        if (end < 0)
            end = text.size();
        longest = std::max(longest, end - start);
        start = end + 1;
    }
    return longest;
}

// Where the piece that starts at `from` ends: after the last space in its
// second half, so words stay whole, else at its full length, moved back so
// that a surrogate pair or a letter and its accents stay together.
qsizetype pieceEnd(QStringView line, qsizetype from)
{
    qsizetype end = from + PieceLength;
    for (qsizetype i = end; i > from + PieceLength / 2; --i) {
        if (line[i - 1] == QLatin1Char(' '))
            return i;
    }
    while (end > from + 1 && (line[end].isLowSurrogate() || line[end].isMark()))
        --end;
    return end;
}

} // namespace

NotesParagraphs ParagraphsOfNotes(const QString &notes)
{
    const bool group = notes.count(QLatin1Char('\n')) >= LinesBeforeGrouping;
    const bool cut = !notes.contains(PieceEnd) && longestLine(notes) > LongestParagraph;
    if (!group && !cut)
        return { notes, false };

    QString text;
    text.reserve(notes.size() + 2 * (notes.size() / (PieceLength / 2)) + 1);
    qsizetype paragraphLength = 0;
    int linesInParagraph = 0;
    for (qsizetype start = 0;;) {
        qsizetype end = notes.indexOf(QLatin1Char('\n'), start);
        if (end < 0)
            end = notes.size();
        const QStringView line = QStringView(notes).sliced(start, end - start);
        if (start > 0) {
            const bool join = group && linesInParagraph < LinesPerParagraph
                && paragraphLength + line.size() <= PieceLength;
            text += join ? QChar(QChar::LineSeparator) : QChar(u'\n');
            if (!join)
                paragraphLength = linesInParagraph = 0;
        }
        if (cut && line.size() > LongestParagraph) {
            qsizetype from = 0;
            while (line.size() - from > PieceLength) {
                const qsizetype to = pieceEnd(line, from);
                text += line.sliced(from, to - from);
                text += PieceEnd;
                text += QLatin1Char('\n');
                from = to;
            }
            text += line.sliced(from);
            linesInParagraph = LinesPerParagraph; // the next line starts a paragraph
        } else {
            text += line;
            paragraphLength += line.size();
            ++linesInParagraph;
        }
        if (end == notes.size())
            break;
        start = end + 1;
    }
    return { text, cut };
}

QString NotesOfParagraphs(QString raw, bool cut)
{
    QChar *const chars = raw.data();
    const qsizetype size = raw.size();
    qsizetype n = 0;
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = chars[i];
        if (cut && c == PieceEnd) {
            if (i + 1 < size && chars[i + 1] == QChar::ParagraphSeparator)
                ++i;
        } else if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator) {
            chars[n++] = QLatin1Char('\n');
        } else {
            chars[n++] = c;
        }
    }
    raw.truncate(n);
    return raw;
}
