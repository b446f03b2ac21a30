#include "ui/Memo.h"

#include "ui/FontFamilies.h"
#include "ui/ToolWindowMinimise.h"
#include "ui/WindowPlacement.h"

#include <QCloseEvent>
#include <QPlainTextEdit>

#include <algorithm>

TMemoForm *MemoForm = nullptr;

namespace {

constexpr int Margin = 5;
const QSize OuterSize(359, 229);

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
    Memo = new NotesEdit(this);
    Memo->setObjectName(QStringLiteral("Memo"));
    Memo->setAccessibleName(windowTitle());
    QFont font(resolvedFamily(QStringLiteral("MS Sans Serif")));
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
    return Memo->notes();
}

void TMemoForm::setNotesText(const QString &text)
{
    Memo->setNotes(text);
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
