#pragma once
// File names between the windows and the model: Qt holds them as text, the
// model as the bytes the system takes.

#include <QString>
#include <string>

// A name from a dialog as the model's functions take it.
std::string ModelFileName(const QString &fileName);
// A name the model gives back, or one from a dialog, as a message shows it.
QString UserFileName(const std::string &fileName);
QString UserFileName(const QString &fileName);
