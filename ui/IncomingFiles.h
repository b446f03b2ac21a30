#pragma once
// Files that reach the program without its dialogs: the pattern named on the
// command line (a file manager's double click) and files dropped on a window.

#include <QString>
#include <QStringList>
#include <functional>

class QDragEnterEvent;
class QDropEvent;
class QMimeData;
class QObject;

// The pattern file named by the first argument after the program's name, as
// an absolute path; a file: URL is taken as its local file. Empty without one.
QString StartupPatternFile(const QStringList &arguments);

// The one local .plw file a drop carries; empty for anything else.
QString DroppedPatternFile(const QMimeData *data);
// The one local picture file a drop carries; empty for anything else.
QString DroppedPictureFile(const QMimeData *data);

// Which file of a drop a window takes; empty when it takes none.
using DropPick = QString (*)(const QMimeData *data);
// Accepts a drag whose file the window takes, so the pointer shows it may drop.
void AcceptDragOf(QDragEnterEvent *event, DropPick pick);
// Takes the drop if the window takes its file, and opens the file from the
// event loop once the drop is over: a question or an error report must not
// keep the program the file came from waiting.
void TakeDropOf(QDropEvent *event, DropPick pick, QObject *window, std::function<void(const QString &)> open);
