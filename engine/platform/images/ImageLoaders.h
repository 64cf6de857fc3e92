#pragma once
#include <cstdint>

#include "engine/platform/archive/FileData.h"
#include "engine/platform/images/Image.h"

class File;

// The whole of a file as a counted block (size rounded up to 4); null when missing.
FileData* loadFileData(const char* name, File* file);

// A BMP or JPEG picture by the name's ending; null when missing or unreadable.
// bottomUp: the first stored row is the picture's bottom row.
Image* loadImage(const char* name, File* file, bool bottomUp);
Image* loadBMP(const char* name, File* file, bool bottomUp);
Image* loadJPEG(File* file, const char* name, bool bottomUp);

// A raw 8-bit PCX picture: header as read, palette, run-length decoded pixels.
struct PcxImage {
    uint8_t header[128];
    uint8_t palette[768];
    uint8_t* pixels; // malloc'd, owned by the caller, null before loading
};
bool loadPCX(const char* name, File* file, PcxImage* record);

// The JPEG decoder's glue: a source reading through a File, and error hooks
// that report instead of ending the program.
struct jpeg_decompress_struct;
struct jpeg_common_struct;
void jpegStreamSource(jpeg_decompress_struct* cinfo, File* file);
void jpegErrorExit(jpeg_common_struct* cinfo);
void jpegOutputMessage(jpeg_common_struct* cinfo);
