#include "ui/Memo.h"

#include "ui/ToolWindowMinimise.h"
#include "ui/WindowPlacement.h"

#include <QCloseEvent>
#include <QPlainTextDocumentLayout>
#include <QPlainTextEdit>
#include <QTextDocument>

#include <algorithm>

TMemoForm *MemoForm = nullptr;

namespace {

constexpr int Margin = 5;
const QSize OuterSize(359, 229);

// Qt's document spends about 3 microseconds on every paragraph, which makes a
// 16 MiB notes file of short lines freeze the window for a second. Long texts
// therefore hold several lines per paragraph, joined by line separators: they
// look, edit and save the same (notesText() turns them back into line ends);
// only a triple click or Ctrl+Up/Down takes the whole paragraph.
constexpr int LinesBeforeGrouping = 4096;
constexpr int LinesPerParagraph = 32;

QString paragraphsOf(const QString &text)
{
    if (text.count(QLatin1Char('\n')) < LinesBeforeGrouping)
        return text;
    QString grouped = text;
    int lineEnds = 0;
    for (QChar &c : grouped) {
        if (c == QLatin1Char('\n') && ++lineEnds % LinesPerParagraph != 0)
            c = QChar::LineSeparator;
    }
    return grouped;
}

} // namespace

TMemoForm::TMemoForm(QWidget *parent)
    : QWidget(parent)
{
    setObjectName("MemoForm");
    // A tool window stays above its owner, the main window, and below the dialogs.
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    keepOwnerUpWhenMinimised(*this, [this] { close(); });
    setWindowTitle(QStringLiteral("Текст"));
    resize(OuterSize);
    new WindowPlacement(*this, WindowPlacement::When::FirstShowing, false, [this](const QMargins &) {
        // Centred over the main window, never off the top or left of the screen.
        const QWidget *main = parentWidget();
        const QRect over = main ? main->frameGeometry() : QRect(QPoint(0, 0), OuterSize);
        const int left = over.left() + (over.width() - OuterSize.width()) / 2;
        const int top = over.top() + (over.height() - OuterSize.height()) / 2;
        return QRect(QPoint(std::max(0, left), std::max(0, top)), OuterSize);
    });
    Memo = new QPlainTextEdit(this);
    Memo->setObjectName(QStringLiteral("Memo"));
    Memo->setAccessibleName(windowTitle());
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSize(8);
    Memo->setFont(font);
    Memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo->setEnabled(false);
    FormResize();
    connect(Memo, &QPlainTextEdit::textChanged, this, &TMemoForm::edited);
}

QString TMemoForm::notesText() const
{
    // The raw text keeps non-breaking spaces, which the plain-text view turns into spaces.
    QString text = Memo->document()->toRawText();
    for (QChar &c : text) {
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator)
            c = QLatin1Char('\n');
    }
    return text;
}

void TMemoForm::setNotesText(const QString &text)
{
    // The text goes into a fresh document before the view sees it: no undo
    // records, no layout per line, no second pass to set the format.
    QTextDocument *const old = Memo->document();
    auto *document = new QTextDocument(Memo);
    document->setDefaultFont(old->defaultFont());
    document->setUndoRedoEnabled(false);
    document->setPlainText(paragraphsOf(text));
    document->setDocumentLayout(new QPlainTextDocumentLayout(document));
    document->setUndoRedoEnabled(old->isUndoRedoEnabled());
    document->setModified(false);
    const int cursorWidth = Memo->cursorWidth();
    // The view deletes the document it made itself; the ones set here are ours.
    QTextDocument *const ours = old->parent() == Memo ? old : nullptr;
    {
        const QSignalBlocker blocker(Memo);
        Memo->setDocument(document);
    }
    Memo->setCursorWidth(cursorWidth);
    delete ours;
}

void TMemoForm::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    FormResize();
}

void TMemoForm::FormResize()
{
    Memo->setGeometry(Margin, Margin, std::max(0, width() - 2 * Margin), std::max(0, height() - 2 * Margin));
}

void TMemoForm::closeEvent(QCloseEvent *event)
{
    // The close box only hides the window; it is never refused.
    event->accept();
    emit closedByUser();
}
