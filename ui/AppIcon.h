#pragma once
// The program's own icon, drawn in code so it scales cleanly to any size.

#include <QImage>

// A size × size picture with a transparent surround (ARGB32, premultiplied);
// sizes from 16 to 256 are drawn with care, others work too.
QImage applicationIcon(int size);
