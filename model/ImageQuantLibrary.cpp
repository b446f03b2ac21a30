#include "model/ImageQuantLibrary.h"

#include "model/SharedLibrary.h"

namespace model {

const ImageQuantLibrary *imageQuantLibrary()
{
    static const ImageQuantLibrary *const opened = []() -> const ImageQuantLibrary * {
        const SharedLibrary library(ImageQuantFileName);
        static ImageQuantLibrary f;
        // The OpenMP runtime's function comes from the runtime the library loaded.
        const bool complete = library.find(f.attr_create, "liq_attr_create")
            && library.find(f.attr_destroy, "liq_attr_destroy") && library.find(f.set_max_colors, "liq_set_max_colors")
            && library.find(f.set_speed, "liq_set_speed") && library.find(f.image_create_rgba, "liq_image_create_rgba")
            && library.find(f.image_destroy, "liq_image_destroy") && library.find(f.image_quantize, "liq_image_quantize")
            && library.find(f.result_destroy, "liq_result_destroy")
            && library.find(f.set_dithering_level, "liq_set_dithering_level")
            && library.find(f.write_remapped_image, "liq_write_remapped_image")
            && library.find(f.get_palette, "liq_get_palette")
            && library.find(f.omp_set_num_threads, "omp_set_num_threads");
        return complete ? &f : nullptr;
    }();
    return opened;
}

} // namespace model
