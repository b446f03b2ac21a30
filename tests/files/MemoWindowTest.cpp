// The notes window: toggled by its button, hidden by its close box, the text
// box kept 5 pixels inside every edge, and edits counted as changes.
#include "support/WindowFixture.h"
#include "ui/Memo.h"

#include <QPlainTextEdit>
#include <QClipboard>
#include <QGuiApplication>
#include <QScrollBar>
#include <QTextBlock>
#include <QTest>
#include <QToolButton>

using MemoWindowTest = WindowTest;

namespace {

// One word of the alphabet over and over.
QString letters(qsizetype count)
{
    QString text(count, Qt::Uninitialized);
    for (qsizetype i = 0; i < count; ++i)
        text[i] = QChar(char16_t(u'a' + i % 26));
    return text;
}

} // namespace

TEST_F(MemoWindowTest, ButtonTogglesTheWindowAndTheCloseBoxRaisesIt)
{
    newPattern(4, 4);
    EXPECT_FALSE(MemoForm->isVisible());
    EXPECT_EQ(MemoForm->windowTitle(), QStringLiteral("Текст"));
    EXPECT_EQ(MemoForm->windowType(), Qt::Tool);

    form->MemoButn->click();
    EXPECT_TRUE(MemoForm->isVisible());
    EXPECT_TRUE(form->MemoButn->isChecked());
    form->MemoButn->click();
    EXPECT_FALSE(MemoForm->isVisible());
    EXPECT_FALSE(form->MemoButn->isChecked());

    form->MemoButn->click();
    MemoForm->setNotesText(QStringLiteral("строка 1\nстрока 2"));
    EXPECT_TRUE(MemoForm->close());
    EXPECT_FALSE(MemoForm->isVisible());
    EXPECT_FALSE(form->MemoButn->isChecked());
    form->MemoButn->click();
    EXPECT_TRUE(MemoForm->isVisible());
    EXPECT_TRUE(form->MemoButn->isChecked());
    EXPECT_EQ(MemoForm->notesText(), QStringLiteral("строка 1\nстрока 2"));
}

TEST_F(MemoWindowTest, FirstShownCentredOverTheMainWindowThenWhereItWasLeft)
{
    newPattern(4, 4);
    form->MemoButn->click();
    const QRect main = form->frameGeometry();
    const QRect memo = MemoForm->frameGeometry();
    EXPECT_EQ(memo.size(), QSize(359, 229));
    EXPECT_EQ(memo.left(), std::max(0, main.left() + (main.width() - 359) / 2));
    EXPECT_EQ(memo.top(), std::max(0, main.top() + (main.height() - 229) / 2));

    MemoForm->move(17, 23);
    const QPoint left = MemoForm->pos();
    form->MemoButn->click();
    form->MemoButn->click();
    EXPECT_EQ(MemoForm->pos(), left);
}

TEST_F(MemoWindowTest, TextBoxStaysFivepixelsInsideAfterEveryResize)
{
    newPattern(4, 4);
    form->MemoButn->click();
    for (const QSize size : { QSize(359, 229), QSize(120, 60), QSize(600, 400), QSize(30, 20) }) {
        MemoForm->resize(size);
        QCoreApplication::processEvents();
        EXPECT_EQ(MemoForm->Memo->geometry(), QRect(5, 5, size.width() - 10, size.height() - 10))
            << size.width() << " x " << size.height();
    }
}

TEST_F(MemoWindowTest, TypingIsAChangeOnlyWithAPatternAndSettingTheTextIsNot)
{
    newPattern(4, 4);
    form->MemoButn->click();
    MemoForm->setNotesText(QStringLiteral("loaded"));
    EXPECT_FALSE(form->Modified());
    QTest::keyClicks(MemoForm->Memo, QStringLiteral("x"));
    EXPECT_TRUE(form->Modified());

    // After a cancelled New the window may still be open, but there is no pattern to change.
    dialogs.messageAnswers.push_back(QMessageBox::No);
    dialogs.modalHandlers.push_back(clickButton("CancelButton"));
    form->MenuNewClick();
    ASSERT_FALSE(form->Pattern.exists());
    ASSERT_TRUE(MemoForm->isVisible());
    QTest::keyClicks(MemoForm->Memo, QStringLiteral("y"));
    EXPECT_FALSE(form->SaveToolButn->isEnabled());
    EXPECT_TRUE(dialogs.allAnswersUsed());
}

TEST_F(MemoWindowTest, NotesTextKeepsEveryCharacterAndLongNotesLookLikeTheirFirstLines)
{
    newPattern(4, 4);
    form->MemoButn->click();
    QString longText;
    for (int line = 0; line < 5000; ++line)
        longText += line % 7 ? QStringLiteral("строка\u00A0%1 с текстом, шире окна, шире окна\n").arg(line) : "\n";
    for (const QString &text : { QStringLiteral("a\u00A0b\tc\n\nd ё\n"), longText, longText.chopped(1), QString() }) {
        MemoForm->setNotesText(text);
        EXPECT_EQ(MemoForm->notesText(), text) << text.size();
        EXPECT_EQ(MemoForm->Memo->verticalScrollBar()->value() + MemoForm->Memo->textCursor().position(), 0);
        MemoForm->Memo->moveCursor(QTextCursor::End);
    }
    const QImage firstLines = (MemoForm->setNotesText(longText.left(2000)), MemoForm->Memo->viewport()->grab().toImage());
    EXPECT_EQ((MemoForm->setNotesText(longText), MemoForm->Memo->viewport()->grab().toImage()), firstLines);
}

// Lines far too long to lay out at once are held in short paragraphs, and
// still come back character for character.
TEST_F(MemoWindowTest, NotesOfEveryShapeComeBackExactlyInShortParagraphs)
{
    const QString oneLine = letters(16 << 20);
    QString mixed;
    for (int line = 0; line < 5000; ++line)
        mixed += line % 9 ? QStringLiteral("строка %1\n").arg(line) : "\n";
    for (const QString &cluster : { QStringLiteral("ё"), QStringLiteral("\U0001F9F6"), QStringLiteral("е\u0301"), QStringLiteral("wool ") })
        mixed += "\n" + cluster.repeated(40001 / cluster.size()) + "\n";
    const QString withTheMark = "a\u2064\n" + QString(20000, u'b');
    for (const QString &text : { oneLine, mixed, mixed.chopped(1), withTheMark }) {
        MemoForm->setNotesText(text);
        EXPECT_EQ(MemoForm->notesText(), text) << text.size();
        int longest = 0;
        for (QTextBlock block = MemoForm->Memo->document()->begin(); block.isValid(); block = block.next())
            longest = std::max(longest, block.length());
        EXPECT_LE(longest, text == withTheMark ? 20001 : 16384) << text.size();
    }
}

// A piece's end looks like the end of a line but is none: editing and copying
// there act on the notes as if the line were whole.
TEST_F(MemoWindowTest, EditsWhereALongLineIsCutActOnTheWholeLine)
{
    newPattern(4, 4);
    form->MemoButn->click();
    const QString text = letters(20000);
    MemoForm->setNotesText(text);
    const QTextBlock piece = MemoForm->Memo->document()->firstBlock();
    const int end = piece.position() + piece.length() - 1, next = piece.next().position(), cut = piece.length() - 2;
    const struct {
        int anchor, position;
        QKeySequence keys;
        QString notes;
    } cases[] = {
        { end, end, Qt::Key_Backspace, QString(text).remove(cut - 1, 1) },
        { next, next, Qt::Key_Backspace, QString(text).remove(cut - 1, 1) },
        { end, end, Qt::Key_Return, QString(text).insert(cut, '\n') },
        { next, next, Qt::Key_Return, QString(text).insert(cut, '\n') },
        { next, next, Qt::Key_X, QString(text).insert(cut, 'x') },
        { end, end, Qt::Key_X, QString(text).insert(cut, 'x') },
        { end - 1, end - 1, Qt::Key_Delete, QString(text).remove(cut, 1) },
        { end - 1, end - 1, QKeySequence(Qt::Key_Right, Qt::Key_Right, Qt::Key_X), QString(text).insert(cut + 1, 'x') },
        { end - 2, end, Qt::Key_X, QString(text).replace(cut - 1, 1, 'x') },
        { end - 4, next + 2, Qt::Key_Delete, QString(text).remove(cut - 3, 5) },
        { end - 4, next + 2, QKeySequence::Copy, text },
    };
    for (const auto &c : cases) {
        QTextCursor cursor(MemoForm->Memo->document());
        cursor.setPosition(c.anchor);
        cursor.setPosition(c.position, QTextCursor::KeepAnchor);
        MemoForm->Memo->setTextCursor(cursor);
        QTest::keySequence(MemoForm->Memo, c.keys);
        EXPECT_TRUE(MemoForm->notesText() == c.notes) << c.keys.toString().toStdString();
        MemoForm->Memo->undo();
        EXPECT_TRUE(MemoForm->notesText() == text) << c.keys.toString().toStdString();
    }
    EXPECT_EQ(QGuiApplication::clipboard()->text(), text.mid(cut - 3, 5));
}
