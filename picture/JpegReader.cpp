#include "picture/JpegReader.h"

#include "picture/JpegLibrary.h"

#include <cerrno>
#include <csetjmp>
#include <cstdio>

#include <jerror.h>

namespace {

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf escape;
};

// The library's default handler calls exit(); this one jumps back instead.
[[noreturn]] void errorExit(j_common_ptr cinfo)
{
    auto *manager = reinterpret_cast<ErrorManager *>(cinfo->err);
    std::longjmp(manager->escape, 1);
}

// Trace output would go to stderr. The warnings of a damaged stream are
// errors, though: the library would go on with grey rows or garbage blocks.
void quietMessage(j_common_ptr)
{
}

bool damagedStream(int code)
{
    switch (code) {
    case JWRN_JPEG_EOF:
    case JWRN_HIT_MARKER:
    case JWRN_EXTRANEOUS_DATA:
    case JWRN_HUFF_BAD_CODE:
    case JWRN_MUST_RESYNC:
    case JWRN_NOT_SEQUENTIAL:
        return true;
    default:
        return false;
    }
}

void quietEmit(j_common_ptr cinfo, int level)
{
    if (level < 0 && damagedStream(cinfo->err->msg_code))
        errorExit(cinfo);
}

struct WorkCounter {
    jpeg_progress_mgr base;
    std::int64_t budget;
    std::int64_t blocks;
    int scansCounted;
};

// Called as each scan starts and along it: a scan's blocks are added once.
void countWork(j_common_ptr common)
{
    auto *cinfo = reinterpret_cast<j_decompress_ptr>(common);
    auto *counter = reinterpret_cast<WorkCounter *>(cinfo->progress);
    if (cinfo->input_scan_number > counter->scansCounted) {
        counter->scansCounted = cinfo->input_scan_number;
        for (int i = 0; i < cinfo->comps_in_scan; ++i) {
            const jpeg_component_info *component = cinfo->cur_comp_info[i];
            counter->blocks += std::int64_t(component->width_in_blocks) * std::int64_t(component->height_in_blocks);
        }
    }
    if (cinfo->input_scan_number > MaxJpegScans || counter->blocks > counter->budget) {
        cinfo->err->msg_code = JERR_BAD_PROGRESSION;
        errorExit(common);
    }
}

inline uchar clampByte(int value)
{
    return uchar(value < 0 ? 0 : value > 255 ? 255 : value);
}

// The decoding itself, kept free of C++ objects with destructors so that a
// longjmp out of the library skips nothing that needed cleaning up.
bool decodeInto(
    const JpegLibrary &jpeg, jpeg_decompress_struct &cinfo, std::int64_t pixelLimit, QImage *image,
    std::int64_t *width, std::int64_t *height)
{
    jpeg.read_header(&cinfo, TRUE);
    *width = cinfo.image_width;
    *height = cinfo.image_height;
    if (!pictureSizeAllowed(*width, *height) || *width * *height > pixelLimit)
        return false;

    const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    const bool gray = cinfo.jpeg_color_space == JCS_GRAYSCALE;
    cinfo.out_color_space = cmyk ? JCS_CMYK : gray ? JCS_GRAYSCALE : JCS_RGB;
    jpeg.start_decompress(&cinfo);

    const QImage::Format format = gray ? QImage::Format_Grayscale8 : QImage::Format_RGB32;
    *image = QImage(int(cinfo.output_width), int(cinfo.output_height), format);
    if (image->isNull())
        return false;
    const int components = cinfo.output_components;
    // The library's own pool owns the row, so a jump out frees it with the rest.
    JSAMPARRAY buffer = (*cinfo.mem->alloc_sarray)(
        reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE, cinfo.output_width * JDIMENSION(components), 1);
    JSAMPLE *row = buffer[0];
    // Adobe's CMYK files store the inks inverted.
    const bool inverted = cinfo.saw_Adobe_marker;
    while (cinfo.output_scanline < cinfo.output_height) {
        const int y = int(cinfo.output_scanline);
        jpeg.read_scanlines(&cinfo, buffer, 1);
        uchar *line = image->scanLine(y);
        if (gray) {
            std::copy_n(row, cinfo.output_width, line);
            continue;
        }
        auto *pixels = reinterpret_cast<QRgb *>(line);
        for (JDIMENSION x = 0; x < cinfo.output_width; ++x) {
            const JSAMPLE *p = row + std::size_t(x) * std::size_t(components);
            if (!cmyk) {
                pixels[x] = qRgb(p[0], p[1], p[2]);
                continue;
            }
            int c = p[0], m = p[1], yel = p[2], k = p[3];
            if (!inverted) {
                c = 255 - c;
                m = 255 - m;
                yel = 255 - yel;
                k = 255 - k;
            }
            pixels[x] = qRgb(clampByte(c * k / 255), clampByte(m * k / 255), clampByte(yel * k / 255));
        }
    }
    jpeg.finish_decompress(&cinfo);
    return true;
}

} // namespace

PictureOutcome decodeJpeg(const QByteArray &data, std::int64_t pixelLimit, std::int64_t blockBudget)
{
    const JpegLibrary *library = jpegLibrary();
    if (!library) {
        model::Failure missing = model::Failure::of(model::Failure::Kind::CannotRead, JpegLibraryFileName);
        missing.error = ENOENT;
        return PictureFailure::ofModel(std::move(missing));
    }
    const JpegLibrary &jpeg = *library;
    jpeg_decompress_struct cinfo {};
    ErrorManager errors {};
    cinfo.err = jpeg.std_error(&errors.base);
    errors.base.error_exit = errorExit;
    errors.base.output_message = quietMessage;
    errors.base.emit_message = quietEmit;
    WorkCounter counter {};
    counter.base.progress_monitor = countWork;
    counter.budget = blockBudget;

    // Everything the jump can skip lives outside the setjmp frame's scope.
    QImage image;
    std::int64_t width = 0;
    std::int64_t height = 0;
    if (setjmp(errors.escape)) {
        const int code = errors.base.msg_code;
        jpeg.destroy_decompress(&cinfo);
        return PictureFailure::jpeg(code);
    }
    jpeg.CreateDecompress(&cinfo, JPEG_LIB_VERSION, sizeof(cinfo));
    cinfo.progress = &counter.base;
    jpeg.mem_src(&cinfo, reinterpret_cast<const unsigned char *>(data.constData()), (unsigned long)data.size());
    const bool decoded = decodeInto(jpeg, cinfo, pixelLimit, &image, &width, &height);
    jpeg.destroy_decompress(&cinfo);
    if (!decoded) {
        if (!pictureSizeAllowed(width, height) || width * height > pixelLimit)
            return PictureFailure::tooLarge(width, height);
        return PictureFailure::jpeg(JERR_OUT_OF_MEMORY);
    }
    return Picture(std::move(image));
}
