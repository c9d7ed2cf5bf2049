// PNG through libpng (over zlib) and JPEG through libjpeg. The library calls that can fail jump back
// with longjmp, so each such section lives in a function that holds only plain data.

#include "platform/gui/Graphics.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <unordered_map>
// jpeglib.h needs FILE and size_t declared first.
#include <jpeglib.h>

namespace kv {

namespace {

QImage DecodePngBytes(const std::uint8_t* data, std::size_t size) {
    png_image img;
    std::memset(&img, 0, sizeof img);
    img.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&img, data, size))
        throw EKvError(std::string("PNG: ") + img.message);
    img.format = PNG_FORMAT_BGRA; // the memory order of QImage::Format_ARGB32 on little-endian machines
    if (img.width == 0 || img.height == 0 || img.width > 32768 || img.height > 32768) {
        png_image_free(&img);
        throw EKvError("PNG: unsupported image size");
    }
    QImage out(static_cast<int>(img.width), static_cast<int>(img.height), QImage::Format_ARGB32);
    if (out.isNull()) {
        png_image_free(&img);
        throw EKvError("PNG: out of memory");
    }
    if (!png_image_finish_read(&img, nullptr, out.bits(), static_cast<png_int_32>(out.bytesPerLine()),
                               nullptr))
        throw EKvError(std::string("PNG: ") + img.message);
    return out;
}

} // namespace

// A window's layout carries the same pictures many times over (every channel strip has its own copy of
// each button), so each distinct picture is decoded once and the copies share its pixels; a picture
// changed later detaches. The store keeps what it decoded, up to a bound, until
// ReleaseUnsharedDecodings finds no picture using it.
namespace {
struct DecodedStore {
    std::mutex lock;
    std::unordered_map<std::string, QImage> pictures;
    std::size_t stored = 0; // bytes of pixels and sources kept
};
DecodedStore& Store() {
    static DecodedStore store;
    return store;
}
} // namespace

QImage DecodePng(const std::uint8_t* data, std::size_t size) {
    constexpr std::size_t STORE_LIMIT = 32u << 20;
    std::mutex& lock = Store().lock;
    auto& decoded = Store().pictures;
    std::size_t& stored = Store().stored;
    std::string key(reinterpret_cast<const char*>(data), size);
    {
        std::lock_guard<std::mutex> hold(lock);
        if (auto it = decoded.find(key); it != decoded.end())
            return it->second;
    }
    QImage out = DecodePngBytes(data, size);
    const std::size_t cost = static_cast<std::size_t>(out.sizeInBytes()) + size;
    std::lock_guard<std::mutex> hold(lock);
    if (stored + cost <= STORE_LIMIT && decoded.emplace(std::move(key), out).second)
        stored += cost;
    return out;
}

std::size_t ReleaseUnsharedDecodings() {
    DecodedStore& store = Store();
    std::lock_guard<std::mutex> hold(store.lock);
    std::size_t freed = 0;
    for (auto it = store.pictures.begin(); it != store.pictures.end();) {
        if (it->second.isDetached()) {
            const std::size_t cost = static_cast<std::size_t>(it->second.sizeInBytes()) + it->first.size();
            store.stored -= cost;
            freed += cost;
            it = store.pictures.erase(it);
        } else {
            ++it;
        }
    }
    return freed;
}

namespace {

void PngAppend(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}
void PngFlush(png_structp) {}

// Writes RGBA rows; false on a library error (message in `err`).
bool PngWriteRaw(std::vector<std::uint8_t>* out, png_bytepp rows, png_uint_32 w, png_uint_32 h, bool alpha,
                 int level, char* err) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) {
        std::strcpy(err, "cannot create the writer");
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, info ? &info : nullptr);
        std::strcpy(err, "write error");
        return false;
    }
    png_set_write_fn(png, out, PngAppend, PngFlush);
    png_set_compression_level(png, level);
    png_set_IHDR(png, info, w, h, 8, alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace

std::vector<std::uint8_t> EncodePng(const QImage& image, int level) {
    if (image.isNull())
        throw EKvError("PNG: empty image");
    if (level < 0 || level > 9)
        throw EKvError("Compression must be in the range of 0-9");
    bool alpha = image.hasAlphaChannel();
    QImage src = image.convertToFormat(alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
    std::vector<png_bytep> rows(static_cast<std::size_t>(src.height()));
    for (int y = 0; y < src.height(); ++y)
        rows[static_cast<std::size_t>(y)] = src.scanLine(y);
    std::vector<std::uint8_t> out;
    char err[128] = {};
    if (!PngWriteRaw(&out, rows.data(), static_cast<png_uint_32>(src.width()),
                     static_cast<png_uint_32>(src.height()), alpha, level, err))
        throw EKvError(std::string("PNG: ") + err);
    return out;
}

namespace {

struct JpegError {
    jpeg_error_mgr mgr;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void JpegErrorExit(j_common_ptr cinfo) {
    auto* e = reinterpret_cast<JpegError*>(cinfo->err);
    cinfo->err->format_message(cinfo, e->message);
    std::longjmp(e->jump, 1);
}
void JpegSilent(j_common_ptr, int) {}

struct RawRgb {
    unsigned char* pixels; // malloc'ed, 3 bytes per pixel
    unsigned width, height;
};

bool JpegDecodeRaw(const unsigned char* data, unsigned long size, RawRgb* out, JpegError* err) {
    jpeg_decompress_struct cinfo;
    cinfo.err = jpeg_std_error(&err->mgr);
    err->mgr.error_exit = JpegErrorExit;
    err->mgr.emit_message = JpegSilent;
    out->pixels = nullptr;
    if (setjmp(err->jump)) {
        jpeg_destroy_decompress(&cinfo);
        std::free(out->pixels);
        out->pixels = nullptr;
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, data, size);
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    if (cinfo.output_width > 32768 || cinfo.output_height > 32768) {
        std::strcpy(err->message, "unsupported image size");
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    out->width = cinfo.output_width;
    out->height = cinfo.output_height;
    out->pixels = static_cast<unsigned char*>(std::malloc(std::size_t{out->width} * out->height * 3 + 1));
    if (!out->pixels) {
        std::strcpy(err->message, "out of memory");
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = out->pixels + std::size_t{cinfo.output_scanline} * out->width * 3;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

bool JpegEncodeRaw(const QImage* rgb, int quality, bool progressive, unsigned char** outBuf,
                   unsigned long* outSize, JpegError* err) {
    jpeg_compress_struct cinfo;
    cinfo.err = jpeg_std_error(&err->mgr);
    err->mgr.error_exit = JpegErrorExit;
    err->mgr.emit_message = JpegSilent;
    if (setjmp(err->jump)) {
        jpeg_destroy_compress(&cinfo);
        return false;
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, outBuf, outSize);
    cinfo.image_width = static_cast<JDIMENSION>(rgb->width());
    cinfo.image_height = static_cast<JDIMENSION>(rgb->height());
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    if (progressive)
        jpeg_simple_progression(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(rgb->constScanLine(static_cast<int>(cinfo.next_scanline)));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return true;
}

} // namespace

QImage DecodeJpeg(const std::uint8_t* data, std::size_t size) {
    RawRgb raw{};
    JpegError err{};
    if (!JpegDecodeRaw(data, static_cast<unsigned long>(size), &raw, &err))
        throw EKvError(std::string("JPEG: ") + err.message);
    QImage out(static_cast<int>(raw.width), static_cast<int>(raw.height), QImage::Format_RGB32);
    if (out.isNull()) {
        std::free(raw.pixels);
        throw EKvError("JPEG: out of memory");
    }
    for (unsigned y = 0; y < raw.height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(static_cast<int>(y)));
        const unsigned char* p = raw.pixels + std::size_t{y} * raw.width * 3;
        for (unsigned x = 0; x < raw.width; ++x, p += 3)
            line[x] = qRgb(p[0], p[1], p[2]);
    }
    std::free(raw.pixels);
    return out;
}

std::vector<std::uint8_t> EncodeJpeg(const QImage& image, int quality, bool progressive) {
    if (image.isNull())
        throw EKvError("JPEG: empty image");
    if (quality < 1 || quality > 100)
        throw EKvError("Compression must be in the range of 1-100");
    QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    unsigned char* buf = nullptr;
    unsigned long size = 0;
    JpegError err{};
    if (!JpegEncodeRaw(&rgb, quality, progressive, &buf, &size, &err)) {
        std::free(buf);
        throw EKvError(std::string("JPEG: ") + err.message);
    }
    std::vector<std::uint8_t> out(buf, buf + size);
    std::free(buf);
    return out;
}

} // namespace kv
