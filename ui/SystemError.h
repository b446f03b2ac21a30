#pragma once
// The reasons the system gives for a failed file operation, in the user's
// language: Qt's own translated texts where Qt has them, the program's
// Russian texts for the rest, so that no message mixes in English.

#include <QString>

// The text for an errno value or model::NotRegularFileError.
QString SystemErrorText(int error);
