#pragma once
// Reads a whole picture file into an image, the reader chosen by the file
// name's extension in lower case. Nothing is shown until the read succeeds.

#include "picture/PictureDecode.h"

#include <QString>

// Whether the name's extension, in any case, is one a reader is chosen by.
bool isPictureFileName(const QString &path);
PictureOutcome readPictureFile(const QString &path);
