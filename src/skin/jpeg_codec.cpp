#include "skin/jpeg_codec.h"

#include <csetjmp>
#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include <jpeglib.h>
#include <jerror.h>

#include "platform/conversion_error.h"
#include "skin/image_input.h"

namespace tolvenmark {

namespace {

// libjpeg calls error_exit on a fatal error and expects it never to return;
// we jump back to the codec call that set the jump point.
struct JumpingErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    int code = 0;
    bool refused = false;  // our own limits, not the library's
};

void JumpOnError(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<JumpingErrorManager*>(cinfo->err);
    err->code = err->pub.msg_code;
    std::longjmp(err->jump, 1);
}

// Warnings (premature end of data, corrupt markers) are not fatal; keep
// them off standard error.
void IgnoreMessage(j_common_ptr) {}

// A progressive stream with thousands of tiny scans decodes for minutes.
constexpr int kMaxScans = 1000;

void LimitScans(j_common_ptr cinfo) {
    if (cinfo->is_decompressor) {
        auto* dinfo = reinterpret_cast<j_decompress_ptr>(cinfo);
        if (dinfo->input_scan_number > kMaxScans) {
            auto* err = reinterpret_cast<JumpingErrorManager*>(cinfo->err);
            err->refused = true;
            std::longjmp(err->jump, 1);
        }
    }
}

JumpingErrorManager* InstallErrorManager(JumpingErrorManager* err) {
    jpeg_std_error(&err->pub);
    err->pub.error_exit = JumpOnError;
    err->pub.output_message = IgnoreMessage;
    return err;
}

// Adobe's programs write CMYK inverted (0 is full ink); others write it plain.
void CmykRowToRgb(JSAMPROW row, JDIMENSION width, bool inverted) {
    auto* pixels = reinterpret_cast<std::uint32_t*>(row);
    for (JDIMENSION x = 0; x < width; ++x) {
        const unsigned char* p = row + 4 * x;
        unsigned c = p[0], m = p[1], y = p[2], k = p[3];
        if (!inverted) {
            c = 255 - c;
            m = 255 - m;
            y = 255 - y;
            k = 255 - k;
        }
        // Now the share of light each ink lets through.
        pixels[x] = 0xFF000000u | (c * k / 255) << 16 | (m * k / 255) << 8 | (y * k / 255);
    }
}

// Everything the decoder touches lives outside the frame that calls setjmp,
// so nothing there is left indeterminate by the jump.
struct DecodeJob {
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
    bool grayscale = false;
    QImage* out = nullptr;
    jpeg_decompress_struct cinfo{};
    JumpingErrorManager err;
    jpeg_progress_mgr progress{};
};

// Answers true on success; on failure job->err says why.
bool RunDecode(DecodeJob* job) {
    job->cinfo.err = &InstallErrorManager(&job->err)->pub;
    if (setjmp(job->err.jump)) {
        jpeg_destroy_decompress(&job->cinfo);
        return false;
    }
    jpeg_create_decompress(&job->cinfo);
    job->cinfo.mem->max_memory_to_use = 1024L * 1024L * 1024L;
    job->progress.progress_monitor = LimitScans;
    job->cinfo.progress = &job->progress;
    jpeg_mem_src(&job->cinfo, job->data, static_cast<unsigned long>(job->size));
    jpeg_read_header(&job->cinfo, TRUE);

    if (!ImageSizeAcceptable(job->cinfo.image_width, job->cinfo.image_height)) {
        job->err.refused = true;
        jpeg_destroy_decompress(&job->cinfo);
        return false;
    }

    // Printers' JPEGs hold ink amounts; the library hands them over as they
    // are and leaves the conversion to us.
    const bool cmyk = job->cinfo.jpeg_color_space == JCS_CMYK || job->cinfo.jpeg_color_space == JCS_YCCK;
    QImage::Format format;
    if (cmyk) {
        job->cinfo.out_color_space = JCS_CMYK;
        format = QImage::Format_RGB32;
    } else if (job->grayscale) {
        job->cinfo.out_color_space = JCS_GRAYSCALE;
        format = QImage::Format_Grayscale8;
    } else {
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
        job->cinfo.out_color_space = JCS_EXT_BGRA;  // the byte order of 0xffRRGGBB
#else
        job->cinfo.out_color_space = JCS_EXT_ARGB;
#endif
        format = QImage::Format_RGB32;
    }
    jpeg_start_decompress(&job->cinfo);

    *job->out = QImage(static_cast<int>(job->cinfo.output_width),
                       static_cast<int>(job->cinfo.output_height), format);
    if (job->out->isNull()) {
        job->err.refused = true;
        jpeg_destroy_decompress(&job->cinfo);
        return false;
    }
    while (job->cinfo.output_scanline < job->cinfo.output_height) {
        // Four bytes a pixel either way: CMYK is turned into RGB in place.
        JSAMPROW row = job->out->scanLine(static_cast<int>(job->cinfo.output_scanline));
        jpeg_read_scanlines(&job->cinfo, &row, 1);
        if (cmyk) CmykRowToRgb(row, job->cinfo.output_width, job->cinfo.saw_Adobe_marker);
    }
    jpeg_finish_decompress(&job->cinfo);
    jpeg_destroy_decompress(&job->cinfo);
    return true;
}

// Our own growing memory destination: the library's own one frees buffers
// behind the pointer it hands back, so after an error the live buffer would
// be unknown. Here the job always owns exactly one buffer.
struct MemoryDestination {
    jpeg_destination_mgr pub;  // first, so the library's pointer is ours
    unsigned char* data = nullptr;
    std::size_t capacity = 0;
    std::size_t size = 0;
};

void InitDestination(j_compress_ptr cinfo) {
    auto* dest = reinterpret_cast<MemoryDestination*>(cinfo->dest);
    dest->capacity = 65536;
    dest->data = static_cast<unsigned char*>(std::malloc(dest->capacity));
    if (!dest->data) ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 10);
    dest->pub.next_output_byte = dest->data;
    dest->pub.free_in_buffer = dest->capacity;
}

boolean GrowDestination(j_compress_ptr cinfo) {
    auto* dest = reinterpret_cast<MemoryDestination*>(cinfo->dest);
    const std::size_t grown = dest->capacity * 2;
    auto* data = static_cast<unsigned char*>(std::realloc(dest->data, grown));
    if (!data) ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 10);
    dest->data = data;
    dest->pub.next_output_byte = data + dest->capacity;
    dest->pub.free_in_buffer = grown - dest->capacity;
    dest->capacity = grown;
    return TRUE;
}

void TermDestination(j_compress_ptr cinfo) {
    auto* dest = reinterpret_cast<MemoryDestination*>(cinfo->dest);
    dest->size = dest->capacity - dest->pub.free_in_buffer;
}

struct EncodeJob {
    const QImage* rgb = nullptr;  // Format_RGB888
    MemoryDestination dest;
    jpeg_compress_struct cinfo{};
    JumpingErrorManager err;
};

bool RunEncode(EncodeJob* job) {
    job->cinfo.err = &InstallErrorManager(&job->err)->pub;
    if (setjmp(job->err.jump)) {
        jpeg_destroy_compress(&job->cinfo);
        return false;
    }
    jpeg_create_compress(&job->cinfo);
    job->dest.pub.init_destination = InitDestination;
    job->dest.pub.empty_output_buffer = GrowDestination;
    job->dest.pub.term_destination = TermDestination;
    job->cinfo.dest = &job->dest.pub;
    job->cinfo.image_width = static_cast<JDIMENSION>(job->rgb->width());
    job->cinfo.image_height = static_cast<JDIMENSION>(job->rgb->height());
    job->cinfo.input_components = 3;
    job->cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&job->cinfo);
    jpeg_start_compress(&job->cinfo, TRUE);
    while (job->cinfo.next_scanline < job->cinfo.image_height) {
        // libjpeg never writes through the row pointer of its input.
        JSAMPROW row = const_cast<JSAMPROW>(job->rgb->constScanLine(static_cast<int>(job->cinfo.next_scanline)));
        jpeg_write_scanlines(&job->cinfo, &row, 1);
    }
    jpeg_finish_compress(&job->cinfo);
    jpeg_destroy_compress(&job->cinfo);
    return true;
}

[[noreturn]] void ThrowJpegError(const JumpingErrorManager& err) {
    if (err.refused) throw OperationError("Bitmap image is not valid");
    throw OperationError("JPEG error #" + std::to_string(err.code));
}

}  // namespace

QImage DecodeJpeg(const std::uint8_t* data, std::size_t size, bool grayscale) {
    QImage image;
    auto job = std::make_unique<DecodeJob>();
    job->data = data;
    job->size = size;
    job->grayscale = grayscale;
    job->out = &image;
    if (!RunDecode(job.get())) ThrowJpegError(job->err);
    // One format for every decoded image: the painter copies without converting.
    if (grayscale && image.format() == QImage::Format_RGB32) image = image.convertToFormat(QImage::Format_Grayscale8);
    if (image.format() != QImage::Format_RGB32) image = image.convertToFormat(QImage::Format_RGB32);
    return image;
}

QImage DecodeJpegFile(const std::string& path) {
    const std::string bytes = ReadImageFile(path);
    return DecodeJpeg(ImageBytes(bytes), bytes.size());
}

std::vector<std::uint8_t> EncodeJpeg(const QImage& image) {
    if (image.isNull()) return {};
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    auto job = std::make_unique<EncodeJob>();
    job->rgb = &rgb;
    const bool ok = RunEncode(job.get());
    std::vector<std::uint8_t> result;
    if (ok && job->dest.data) result.assign(job->dest.data, job->dest.data + job->dest.size);
    std::free(job->dest.data);
    if (!ok) ThrowJpegError(job->err);
    return result;
}

}  // namespace tolvenmark
