#include "ui/PreviewPicture.h"

#include "model/BitmapFile.h"
#include "model/LargeMemory.h"
#include "model/PreviewImage.h"
#include "ui/FileNames.h"

#include <cerrno>

namespace {

struct Block {
    void *memory;
    std::size_t bytes;
};

void releaseBlock(void *info)
{
    const Block *block = static_cast<Block *>(info);
    model::releaseLarge(block->memory, block->bytes);
    delete block;
}

// An image over memory from allocateLarge, released with the last copy of it.
QImage imageOnLargeMemory(int width, int height, qsizetype bytesPerLine, QImage::Format format)
{
    const std::size_t bytes = std::size_t(bytesPerLine) * std::size_t(height);
    void *memory = model::allocateLarge(bytes);
    if (!memory)
        return {};
    auto *block = new Block { memory, bytes };
    QImage image(static_cast<uchar *>(memory), width, height, bytesPerLine, format, releaseBlock, block);
    if (image.isNull())
        releaseBlock(block);
    return image;
}

} // namespace

QImage drawPreviewPicture(const model::Pattern &pattern, int cellSize, bool grid)
{
    const auto size = model::previewImageSize(pattern.StitchCount, pattern.RowCount, cellSize);
    if (!size || !pattern.exists())
        return {};
    {
        // Drawn as 8-bit while the colours are gathered; a pattern of more
        // colours than that holds is found on its first rows, nearly always.
        QImage image = imageOnLargeMemory(size->width, size->height, (size->width + 3) & ~3, QImage::Format_Indexed8);
        if (image.isNull())
            return {};
        if (const auto table = model::renderIndexedPreview(pattern, cellSize, grid, { image.bits(), image.bytesPerLine() })) {
            image.setColorTable(QList<QRgb>(table->begin(), table->end()));
            return image;
        }
    }
    QImage image = imageOnLargeMemory(
        size->width, size->height, qsizetype(size->width) * qsizetype(sizeof(model::Pixel)), QImage::Format_RGB32);
    if (image.isNull())
        return {};
    model::renderPreview(pattern, cellSize, grid,
        { reinterpret_cast<model::Pixel *>(image.bits()), image.bytesPerLine() / qsizetype(sizeof(model::Pixel)) });
    return image;
}

model::Outcome<> saveBitmapFile(const QImage &picture, const QString &fileName)
{
    model::BitmapSource source;
    source.width = picture.width();
    source.height = picture.height();
    if (picture.format() == QImage::Format_Indexed8) {
        const QList<QRgb> table = picture.colorTable();
        source.colourTable.assign(table.begin(), table.end());
    } else if (picture.format() != QImage::Format_RGB32) {
        return model::Failure::fromErrno(model::Failure::Kind::CannotWrite, ModelFileName(fileName), EINVAL);
    }
    source.line = [&picture](std::int32_t y) -> const void * { return picture.constScanLine(y); };
    return model::WriteBitmapFile(ModelFileName(fileName), source);
}
