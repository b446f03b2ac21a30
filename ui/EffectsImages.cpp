#include "ui/EffectsImages.h"

#include "model/Transformations.h"
#include "model/UndoCodes.h"
#include "ui/ColourConversion.h"

#include <QPainter>
#include <array>
#include <string_view>

namespace {

constexpr int CellSize = 2;
const QColor Ink(32, 32, 40);
const QColor Frame(112, 112, 112);

// A small asymmetric motif in red and navy: it reads differently after every
// turn and reversal, and its white cells show where rows are inserted.
model::Pattern motif()
{
    constexpr model::TColor red = 0x002020D0, navy = 0x00602010, white = model::White;
    model::Pattern p;
    p.StitchCount = 3;
    p.RowCount = 3;
    p.Cells = { red, red, red, navy, navy, white, navy, red, white };
    return p;
}

// The motif's cells inside a one-pixel frame, so white cells show against the button.
QSize framedSize(const model::Pattern &p)
{
    return QSize(p.StitchCount * CellSize + 2, p.RowCount * CellSize + 2);
}

void drawFramedMotif(QPainter &painter, const model::Pattern &p, QPoint topLeft)
{
    const QSize size = framedSize(p);
    painter.fillRect(QRect(topLeft, size), Frame);
    for (int r = 0; r < p.RowCount; ++r)
        for (int s = 0; s < p.StitchCount; ++s)
            painter.fillRect(topLeft.x() + 1 + s * CellSize, topLeft.y() + 1 + r * CellSize, CellSize, CellSize,
                toQColor(p.at(s, r)));
}

// Pixel drawings, '#' for ink.
template <std::size_t N> void drawBits(QPainter &painter, QPoint topLeft, const std::array<std::string_view, N> &bits)
{
    for (int y = 0; y < int(N); ++y)
        for (int x = 0; x < int(bits[y].size()); ++x)
            if (bits[y][x] == '#')
                painter.fillRect(topLeft.x() + x, topLeft.y() + y, 1, 1, Ink);
}

constexpr std::array<std::string_view, 5> ArrowHead = {
    "#..",
    "##.",
    "###",
    "##.",
    "#..",
};

// Over the top from eight o'clock, ending in a head that points down at three.
constexpr std::array<std::string_view, 6> ClockwiseTurn = {
    "..###...",
    ".#...#..",
    "#.....#.",
    "#.....#.",
    "#....###",
    ".#....#.",
};
constexpr std::array<std::string_view, 6> AnticlockwiseTurn = {
    "...###..",
    "..#...#.",
    ".#.....#",
    ".#.....#",
    "###....#",
    ".#....#.",
};

constexpr int MiddleRow = EffectsImageHeight / 2 - 1;

void drawStraightArrow(QPainter &painter, int left, int right)
{
    const int headLeft = right - int(ArrowHead[0].size()) + 1;
    if (headLeft > left)
        painter.fillRect(left, MiddleRow, headLeft - left, 1, Ink);
    drawBits(painter, QPoint(headLeft, MiddleRow - 2), ArrowHead);
}

void drawTurnArrow(QPainter &painter, int left, int right, bool clockwise)
{
    const auto &bits = clockwise ? ClockwiseTurn : AnticlockwiseTurn;
    const int width = int(bits[0].size());
    drawBits(painter, QPoint(left + (right - left + 2 - width) / 2, MiddleRow - 2), bits);
}

} // namespace

QPixmap effectsButtonPixmap(int button)
{
    QPixmap pixmap(EffectsImageWidth, EffectsImageHeight);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);

    const model::Transform transform = model::ButtonTransform(button);
    const model::Pattern before = motif();
    const model::Pattern after = model::Apply(transform, before);
    const QSize beforeSize = framedSize(before), afterSize = framedSize(after);
    const int afterLeft = EffectsImageWidth - afterSize.width();
    drawFramedMotif(painter, before, QPoint(0, (EffectsImageHeight - beforeSize.height()) / 2));
    drawFramedMotif(painter, after, QPoint(afterLeft, (EffectsImageHeight - afterSize.height()) / 2));

    // The arrow fills the gap between the two, leaving a pixel each side where it can.
    const int gapLeft = beforeSize.width(), gapRight = afterLeft - 1;
    const bool roomy = gapRight - gapLeft >= 6;
    if (transform == model::Transform::RotateLeft || transform == model::Transform::RotateRight)
        drawTurnArrow(painter, gapLeft, gapRight, transform == model::Transform::RotateRight);
    else
        drawStraightArrow(painter, gapLeft + (roomy ? 1 : 0), gapRight - (roomy ? 1 : 0));
    return pixmap;
}
