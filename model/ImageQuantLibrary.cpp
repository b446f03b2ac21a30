#include "model/ImageQuantLibrary.h"

#include <dlfcn.h>
#include <type_traits>

namespace model {

const ImageQuantLibrary *imageQuantLibrary()
{
    static const ImageQuantLibrary *const opened = []() -> const ImageQuantLibrary * {
        void *library = dlopen(ImageQuantFileName, RTLD_NOW | RTLD_LOCAL);
        if (!library)
            return nullptr;
        static ImageQuantLibrary functions;
        // Looked up in the library and what it loaded with it, the OpenMP runtime among them.
        const auto find = [library](auto &function, const char *name) {
            function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(dlsym(library, name));
            return function != nullptr;
        };
        ImageQuantLibrary &f = functions;
        const bool complete = find(f.attr_create, "liq_attr_create") && find(f.attr_destroy, "liq_attr_destroy")
            && find(f.set_max_colors, "liq_set_max_colors") && find(f.set_speed, "liq_set_speed")
            && find(f.image_create_rgba, "liq_image_create_rgba") && find(f.image_destroy, "liq_image_destroy")
            && find(f.image_quantize, "liq_image_quantize") && find(f.result_destroy, "liq_result_destroy")
            && find(f.set_dithering_level, "liq_set_dithering_level")
            && find(f.write_remapped_image, "liq_write_remapped_image") && find(f.get_palette, "liq_get_palette")
            && find(f.omp_set_num_threads, "omp_set_num_threads");
        return complete ? &functions : nullptr;
    }();
    return opened;
}

} // namespace model
