#pragma once
// Families named by the windows, as the font configuration resolves them.

#include <QString>

// The family the font configuration gives for `named`: `named` itself when it
// is installed, else the first installed one of its configured substitutes
// (`named` when there is none). Asked for a family that is not installed, Qt
// searches the whole font list for fallbacks, once for every script it
// draws; asked for the substitute, it finds it at once and draws the same.
QString resolvedFamily(const QString &named);
