#pragma once
// libimagequant, opened when a picture is first reduced to a few colours: the
// program starts without it and its OpenMP runtime, as most sessions never
// turn a picture into a pattern.

#include <libimagequant.h>

namespace model {

struct ImageQuantLibrary {
    decltype(&liq_attr_create) attr_create = nullptr;
    decltype(&liq_attr_destroy) attr_destroy = nullptr;
    decltype(&liq_set_max_colors) set_max_colors = nullptr;
    decltype(&liq_set_speed) set_speed = nullptr;
    decltype(&liq_image_create_rgba) image_create_rgba = nullptr;
    decltype(&liq_image_destroy) image_destroy = nullptr;
    decltype(&liq_image_quantize) image_quantize = nullptr;
    decltype(&liq_result_destroy) result_destroy = nullptr;
    decltype(&liq_set_dithering_level) set_dithering_level = nullptr;
    decltype(&liq_write_remapped_image) write_remapped_image = nullptr;
    decltype(&liq_get_palette) get_palette = nullptr;
    // GCC's OpenMP runtime, which libimagequant runs on.
    void (*omp_set_num_threads)(int) = nullptr;
};

// The library's file name, as a failure to open it reports.
inline constexpr const char *ImageQuantFileName = "libimagequant.so.0";

// Null when the library or one of its functions cannot be found.
const ImageQuantLibrary *imageQuantLibrary();

} // namespace model
