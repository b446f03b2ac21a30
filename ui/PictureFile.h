#pragma once
// Reads a whole picture file into an image, the reader chosen by the file
// name's extension in lower case. Nothing is shown until the read succeeds.

#include "ui/PictureDecode.h"

#include <QString>

struct PictureFileResult {
    Picture picture;
    QString error; // empty on success; otherwise the text for the error report
};

// Whether the name's extension, in any case, is one a reader is chosen by.
bool isPictureFileName(const QString &path);
PictureFileResult readPictureFile(const QString &path);
