#pragma once
// Eight-bit text in metafiles, decoded by the character set of the font that
// draws it.

#include <QString>

#include <cstdint>

// This program's ANSI code page is Windows-1251, so fonts of the ANSI and
// default character sets read their bytes as Windows-1251, as Russian fonts
// do; other sets use their own code pages where Qt has them, else Latin-1.
QString decodeCharsetText(const unsigned char *bytes, std::uint64_t length, std::uint8_t charset);
