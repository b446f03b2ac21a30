#include "picture/JpegLibrary.h"

#include <dlfcn.h>
#include <type_traits>

const JpegLibrary *jpegLibrary()
{
    static const JpegLibrary *const opened = []() -> const JpegLibrary * {
        void *library = dlopen(JpegLibraryFileName, RTLD_NOW | RTLD_LOCAL);
        if (!library)
            return nullptr;
        static JpegLibrary functions;
        const auto find = [library](auto &function, const char *name) {
            function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(dlsym(library, name));
            return function != nullptr;
        };
        JpegLibrary &f = functions;
        const bool complete = find(f.std_error, "jpeg_std_error") && find(f.CreateDecompress, "jpeg_CreateDecompress")
            && find(f.mem_src, "jpeg_mem_src") && find(f.read_header, "jpeg_read_header")
            && find(f.start_decompress, "jpeg_start_decompress") && find(f.read_scanlines, "jpeg_read_scanlines")
            && find(f.finish_decompress, "jpeg_finish_decompress")
            && find(f.destroy_decompress, "jpeg_destroy_decompress");
        return complete ? &functions : nullptr;
    }();
    return opened;
}
