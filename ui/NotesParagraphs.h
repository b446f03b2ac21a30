#pragma once
// How notes text becomes the paragraphs of the notes window and back. Qt lays
// out a paragraph whole and spends about 3 µs on each one, so a notes file of
// 16 MiB would freeze the window either way: as one line of millions of
// characters (minutes of line breaking) or as 280 000 short lines. Long texts
// therefore keep up to 32 lines in one paragraph, joined by line separators,
// and a line too long to lay out quickly is cut into pieces of some thousand
// characters. A piece that goes on in the next paragraph ends with an
// invisible mark; the way back drops it and the paragraph break after it, so
// the text comes back character for character.

#include <QString>

struct NotesParagraphs {
    // Paragraphs separated by "\n", grouped lines by U+2028.
    QString text;
    // Some line was cut into pieces: the mark is only ever ours.
    bool cut = false;
};

// The mark that ends a piece of a cut line.
// Invisible plus, a mathematical format character that notes never hold: drawn
// as nothing and, unlike a combining mark, a character of its own, so the
// cursor can stand before it without splitting a letter.
inline constexpr QChar PieceEnd = QChar(0x2064);

// Notes with "\n" line ends to paragraphs. A text that holds the mark itself
// is never cut (it stays exact, only slower to show).
NotesParagraphs ParagraphsOfNotes(const QString &notes);

// The document's raw text (U+2029 between paragraphs, U+2028 inside them) to
// notes with "\n" line ends. With `cut`, every mark is dropped with the
// paragraph break that follows it.
QString NotesOfParagraphs(QString raw, bool cut);
