#pragma once
// The program's own icon, drawn in code so it scales cleanly to any size.

#include <QImage>

// A size × size picture with a transparent surround (ARGB32, premultiplied);
// sizes from 16 to 256 are drawn with care, others work too.
QImage drawApplicationIcon(int size);

// The same picture; the window icon's sizes were drawn when the program was
// built, so start-up does not draw them again.
QImage applicationIcon(int size);
