#pragma once
// Files that reach the program without its dialogs: the pattern named on the
// command line (a file manager's double click) and files dropped on a window.

#include <QString>
#include <QStringList>

class QMimeData;

// The pattern file named by the first argument after the program's name, as
// an absolute path; a file: URL is taken as its local file. Empty without one.
QString StartupPatternFile(const QStringList &arguments);

// The one local .plw file a drop carries; empty for anything else.
QString DroppedPatternFile(const QMimeData *data);
// The one local picture file a drop carries; empty for anything else.
QString DroppedPictureFile(const QMimeData *data);
