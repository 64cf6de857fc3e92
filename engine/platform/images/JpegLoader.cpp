#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include <jerror.h>
#include <jpeglib.h>

#include "engine/platform/Report.h"
#include "engine/platform/archive/File.h"
#include "engine/platform/images/ImageLoaders.h"
#include "engine/platform/images/PixelRows.h"

namespace {

constexpr size_t SOURCE_BUFFER = 4096;

struct SourceManager {
    jpeg_source_mgr pub;
    File* file;
    JOCTET* buffer;
    boolean startOfFile;
};

// The library's error_exit must not return; it jumps back into decode(),
// whose frame holds nothing with a destructor.
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

void initSource(j_decompress_ptr cinfo) { reinterpret_cast<SourceManager*>(cinfo->src)->startOfFile = TRUE; }

boolean fillInputBuffer(j_decompress_ptr cinfo) {
    auto* src = reinterpret_cast<SourceManager*>(cinfo->src);
    int32_t n = src->file->read(src->buffer, SOURCE_BUFFER);
    if (n <= 0) {
        if (src->startOfFile) ERREXIT(cinfo, JERR_INPUT_EMPTY);
        WARNMS(cinfo, JWRN_JPEG_EOF);
        src->buffer[0] = 0xFF;
        src->buffer[1] = JPEG_EOI;
        n = 2;
    }
    src->pub.next_input_byte = src->buffer;
    src->pub.bytes_in_buffer = static_cast<size_t>(n);
    src->startOfFile = FALSE;
    return TRUE;
}

void skipInputData(j_decompress_ptr cinfo, long count) {
    if (count <= 0) return;
    jpeg_source_mgr* src = cinfo->src;
    size_t n = static_cast<size_t>(count);
    while (n > src->bytes_in_buffer) {
        n -= src->bytes_in_buffer;
        src->fill_input_buffer(cinfo);
    }
    src->next_input_byte += n;
    src->bytes_in_buffer -= n;
}

void termSource(j_decompress_ptr) {}

struct Decoded {
    uint8_t* samples;
    int32_t width, height, components;
    J_COLOR_SPACE colorSpace;
};

bool decode(File* file, bool bottomUp, Decoded* result) {
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = jpegErrorExit;
    err.pub.output_message = jpegOutputMessage;
    uint8_t* volatile samples = nullptr;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        std::free(samples);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpegStreamSource(&cinfo, file);
    jpeg_read_header(&cinfo, TRUE);
    cinfo.dct_method = JDCT_FLOAT;
    cinfo.quantize_colors = FALSE;
    jpeg_start_decompress(&cinfo);

    const uint32_t width = cinfo.output_width, height = cinfo.output_height;
    const uint32_t components = static_cast<uint32_t>(cinfo.output_components);
    if (width == 0 || height == 0 || width > Image::MAX_SIDE || height > Image::MAX_SIDE || components > 4) {
        reportError(formatStatic("JPEG: Wrong image size: %u x %u\n", width, height));
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    const size_t stride = static_cast<size_t>(width) * components;
    samples = static_cast<uint8_t*>(std::malloc(stride * height));
    if (!samples) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    while (cinfo.output_scanline < height) {
        uint32_t line = cinfo.output_scanline;
        JSAMPROW row = samples + stride * (bottomUp ? height - 1 - line : line);
        if (jpeg_read_scanlines(&cinfo, &row, 1) != 1) break;
    }
    jpeg_finish_decompress(&cinfo);
    *result = Decoded{samples, static_cast<int32_t>(width), static_cast<int32_t>(height),
                      static_cast<int32_t>(components), cinfo.out_color_space};
    jpeg_destroy_decompress(&cinfo);
    return true;
}

} // namespace

void jpegStreamSource(jpeg_decompress_struct* cinfo, File* file) {
    if (!cinfo->src) {
        auto* src = static_cast<SourceManager*>(
            cinfo->mem->alloc_small(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_PERMANENT, sizeof(SourceManager)));
        src->buffer = static_cast<JOCTET*>(
            cinfo->mem->alloc_small(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_PERMANENT, SOURCE_BUFFER));
        cinfo->src = &src->pub;
    }
    auto* src = reinterpret_cast<SourceManager*>(cinfo->src);
    src->pub.init_source = initSource;
    src->pub.fill_input_buffer = fillInputBuffer;
    src->pub.skip_input_data = skipInputData;
    src->pub.resync_to_restart = jpeg_resync_to_restart;
    src->pub.term_source = termSource;
    src->file = file;
    src->pub.bytes_in_buffer = 0;
    src->pub.next_input_byte = nullptr;
}

void jpegErrorExit(jpeg_common_struct* cinfo) {
    char message[JMSG_LENGTH_MAX < 200 ? 200 : JMSG_LENGTH_MAX];
    cinfo->err->format_message(cinfo, message);
    reportError(formatStatic("JPEG: %s\n", message));
    std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1);
}

void jpegOutputMessage(jpeg_common_struct* cinfo) {
    char message[JMSG_LENGTH_MAX];
    cinfo->err->format_message(cinfo, message);
}

Image* loadJPEG(File* file, const char* name, bool bottomUp) {
    if (!file->open(name)) return nullptr;
    Decoded decoded{};
    bool ok = decode(file, bottomUp, &decoded);
    file->close();
    if (!ok) return nullptr;

    const bool grey = decoded.colorSpace == JCS_GRAYSCALE;
    Image* image = nullptr;
    if (grey && decoded.components != 1) {
        reportError(formatStatic("Wrong grayscale JPEG color depth: %d bit", 8 * decoded.components));
    } else if (!grey && decoded.components != 3) {
        reportError(formatStatic("Wrong non-grayscale JPEG color depth: %d bit", 8 * decoded.components));
    } else {
        image = new Image(name);
        image->allocate(decoded.width, decoded.height);
        uint32_t count = static_cast<uint32_t>(decoded.width) * static_cast<uint32_t>(decoded.height);
        if (grey)
            pixelrows::fromGrey(image->getPixels(), decoded.samples, count);
        else
            pixelrows::fromRgb(image->getPixels(), decoded.samples, count);
    }
    std::free(decoded.samples);
    return image;
}
