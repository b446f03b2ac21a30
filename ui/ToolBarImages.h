#pragma once
// The eleven 16 x 16 tool-bar and menu pictures, drawn for this program.

#include <QIcon>

enum class ToolBarImage {
    New = 0,
    Open = 1,
    Save = 2,
    Preview = 3,
    Print = 4,
    Palette = 5,
    Notes = 6,
    Exit = 7,
    ZoomIn = 8,
    Undo = 9,
    Picture = 10,
};
inline constexpr int ToolBarImageCount = 11;

QIcon toolBarIcon(ToolBarImage image);
QPixmap toolBarPixmap(ToolBarImage image);
