#pragma once
// libjpeg, opened when the first JPEG picture is read: the program starts
// without it, as most sessions open no picture at all.

#include <cstddef>
#include <cstdio> // jpeglib.h needs FILE
#include <jpeglib.h>

struct JpegLibrary {
    decltype(&jpeg_std_error) std_error = nullptr;
    decltype(&jpeg_CreateDecompress) CreateDecompress = nullptr;
    decltype(&jpeg_mem_src) mem_src = nullptr;
    decltype(&jpeg_read_header) read_header = nullptr;
    decltype(&jpeg_start_decompress) start_decompress = nullptr;
    decltype(&jpeg_read_scanlines) read_scanlines = nullptr;
    decltype(&jpeg_finish_decompress) finish_decompress = nullptr;
    decltype(&jpeg_destroy_decompress) destroy_decompress = nullptr;
};

// The library's file name, as a failure to open it reports.
inline constexpr const char *JpegLibraryFileName = "libjpeg.so.62";

// Null when the library or one of its functions cannot be found.
const JpegLibrary *jpegLibrary();
