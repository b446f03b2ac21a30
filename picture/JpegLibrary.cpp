#include "picture/JpegLibrary.h"

#include "model/SharedLibrary.h"

const JpegLibrary *jpegLibrary()
{
    static const JpegLibrary *const opened = []() -> const JpegLibrary * {
        const model::SharedLibrary library(JpegLibraryFileName);
        static JpegLibrary f;
        const bool complete = library.find(f.std_error, "jpeg_std_error")
            && library.find(f.CreateDecompress, "jpeg_CreateDecompress") && library.find(f.mem_src, "jpeg_mem_src")
            && library.find(f.read_header, "jpeg_read_header")
            && library.find(f.start_decompress, "jpeg_start_decompress")
            && library.find(f.read_scanlines, "jpeg_read_scanlines")
            && library.find(f.finish_decompress, "jpeg_finish_decompress")
            && library.find(f.destroy_decompress, "jpeg_destroy_decompress");
        return complete ? &f : nullptr;
    }();
    return opened;
}
