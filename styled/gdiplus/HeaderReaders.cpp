// Picture sizes from file headers, without decoding the picture.

#include "styled/gdiplus/GDIPlus.h"

#include "platform/core/FileIO.h"

#include <cstdlib>
#include <cstring>
#include <optional>

namespace kv {

namespace {

// Files are read whole, up to a size no picture of the program comes near.
constexpr std::size_t kMaxHeaderFile = 64u << 20;

template <class F> void FromFile(const std::string& fileName, F reader) {
    if (fileName.empty())
        return;
    const std::optional<std::string> bytes = ReadFileBytes(fileName, kMaxHeaderFile);
    if (!bytes)
        return;
    reader(reinterpret_cast<const std::uint8_t*>(bytes->data()), bytes->size());
}

class Reader {
public:
    Reader(const std::uint8_t* d, std::size_t n) : FData(d), FSize(n) {}
    bool Has(std::size_t n) const { return FPos + n <= FSize; }
    bool Byte(std::uint8_t& b) {
        if (!Has(1))
            return false;
        b = FData[FPos++];
        return true;
    }
    bool Skip(std::size_t n) {
        if (!Has(n))
            return false;
        FPos += n;
        return true;
    }
    bool BE16(std::uint16_t& v) {
        if (!Has(2))
            return false;
        v = static_cast<std::uint16_t>((FData[FPos] << 8) | FData[FPos + 1]);
        FPos += 2;
        return true;
    }
    std::size_t Pos() const { return FPos; }
    void Seek(std::size_t p) { FPos = p; }
    const std::uint8_t* At(std::size_t p) const { return FData + p; }
    std::size_t Size() const { return FSize; }

private:
    const std::uint8_t* FData;
    std::size_t FSize;
    std::size_t FPos = 0;
};

std::uint32_t LE32(const std::uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

} // namespace

void GetJPEGSize(const std::uint8_t* data, std::size_t size, std::uint16_t& width, std::uint16_t& height) {
    Reader r(data, size);
    std::uint8_t a = 0, b = 0;
    if (!r.Byte(a) || !r.Byte(b) || a != 0xFF || b != 0xD8)
        return;
    std::uint8_t marker = 0;
    bool ok = r.Byte(marker);
    while (ok && marker == 0xFF) {
        std::uint8_t code = 0;
        if (!r.Byte(code))
            return;
        if (code == 0xFF)
            continue;
        // Every start-of-frame marker carries the size; C4, C8 and CC are other segments.
        if (code >= 0xC0 && code <= 0xCF && code != 0xC4 && code != 0xC8 && code != 0xCC) {
            std::uint16_t h = 0, w = 0;
            if (r.Skip(3) && r.BE16(h) && r.BE16(w)) {
                height = h;
                width = w;
            }
            return;
        }
        if (code == 0x01 || (code >= 0xD0 && code <= 0xD7)) {
            marker = 0xFF;
            continue;
        }
        std::uint16_t len = 0;
        if (!r.BE16(len) || len < 2 || !r.Skip(len - 2u))
            return;
        ok = r.Byte(marker);
    }
}

void GetPNGSize(const std::uint8_t* data, std::size_t size, std::uint16_t& width, std::uint16_t& height) {
    if (size < 24 || std::memcmp(data, "\x89PNG\r\n\x1a\n", 8) != 0)
        return;
    width = static_cast<std::uint16_t>((data[18] << 8) | data[19]);
    height = static_cast<std::uint16_t>((data[22] << 8) | data[23]);
}

void GetBMPSize(const std::uint8_t* data, std::size_t size, std::uint16_t& width, std::uint16_t& height) {
    if (size < 26 || data[0] != 'B' || data[1] != 'M')
        return;
    // A negative height marks a top-down bitmap; its size is the absolute value.
    const auto w = static_cast<std::int32_t>(LE32(data + 18));
    const auto h = static_cast<std::int32_t>(LE32(data + 22));
    width = static_cast<std::uint16_t>(std::llabs(w) & 0xFFFF);
    height = static_cast<std::uint16_t>(std::llabs(h) & 0xFFFF);
}

void GetTIFFSize(const std::uint8_t* data, std::size_t size, std::uint16_t& width, std::uint16_t& height) {
    width = 0;
    height = 0;
    if (size < 8)
        return;
    bool big;
    if (data[0] == 'I' && data[1] == 'I')
        big = false;
    else if (data[0] == 'M' && data[1] == 'M')
        big = true;
    else
        return;
    auto u16 = [&](std::size_t p) -> std::uint32_t {
        return big ? (data[p] << 8) | data[p + 1] : data[p] | (data[p + 1] << 8);
    };
    auto u32 = [&](std::size_t p) -> std::uint32_t {
        return big ? (static_cast<std::uint32_t>(data[p]) << 24) | (data[p + 1] << 16) | (data[p + 2] << 8) |
                         data[p + 3]
                   : LE32(data + p);
    };
    const std::size_t ifd = u32(4);
    if (ifd > size || size - ifd < 2)
        return;
    const std::uint32_t count = u16(ifd);
    std::optional<std::uint32_t> w, h;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::size_t e = ifd + 2 + 12u * i;
        if (e + 12 > size)
            return;
        const std::uint32_t tag = u16(e), type = u16(e + 2);
        // The value sits in the entry: a SHORT in its first two bytes, a LONG in all four.
        std::uint32_t value;
        if (type == 3)
            value = u16(e + 8);
        else if (type == 4)
            value = u32(e + 8);
        else
            continue;
        if (tag == 256)
            w = value;
        else if (tag == 257)
            h = value;
        if (w && h) {
            width = static_cast<std::uint16_t>(std::llabs(static_cast<std::int32_t>(*w)) & 0xFFFF);
            height = static_cast<std::uint16_t>(std::llabs(static_cast<std::int32_t>(*h)) & 0xFFFF);
            return;
        }
    }
}

void GetGIFSize(const std::uint8_t* data, std::size_t size, std::uint16_t& width, std::uint16_t& height) {
    width = 0;
    height = 0;
    if (size < 13 || std::memcmp(data, "GIF", 3) != 0)
        return;
    Reader r(data, size);
    r.Skip(13);
    const std::uint8_t packed = data[10];
    if ((packed & 0x80) && !r.Skip(3u * (1u << ((packed & 7) + 1))))
        return;
    // Walk the blocks: extensions are skipped sub-block by sub-block, so a 0x2C inside their data is
    // never taken for the image separator.
    std::uint8_t b = 0;
    while (r.Byte(b)) {
        if (b == 0x2C) {
            if (!r.Has(10))
                return;
            const std::uint8_t* d = r.At(r.Pos());
            width = static_cast<std::uint16_t>(d[4] | (d[5] << 8));
            height = static_cast<std::uint16_t>(d[6] | (d[7] << 8));
            return;
        }
        if (b != 0x21)
            return; // the trailer or damage
        if (!r.Skip(1))
            return;
        std::uint8_t len = 0;
        do {
            if (!r.Byte(len) || !r.Skip(len))
                return;
        } while (len != 0);
    }
}

void GetJPEGSize(const std::string& f, std::uint16_t& w, std::uint16_t& h) {
    FromFile(f, [&](const std::uint8_t* d, std::size_t n) { GetJPEGSize(d, n, w, h); });
}
void GetPNGSize(const std::string& f, std::uint16_t& w, std::uint16_t& h) {
    FromFile(f, [&](const std::uint8_t* d, std::size_t n) { GetPNGSize(d, n, w, h); });
}
void GetBMPSize(const std::string& f, std::uint16_t& w, std::uint16_t& h) {
    FromFile(f, [&](const std::uint8_t* d, std::size_t n) { GetBMPSize(d, n, w, h); });
}
void GetTIFFSize(const std::string& f, std::uint16_t& w, std::uint16_t& h) {
    w = 0;
    h = 0;
    FromFile(f, [&](const std::uint8_t* d, std::size_t n) { GetTIFFSize(d, n, w, h); });
}
void GetGIFSize(const std::string& f, std::uint16_t& w, std::uint16_t& h) {
    w = 0;
    h = 0;
    FromFile(f, [&](const std::uint8_t* d, std::size_t n) { GetGIFSize(d, n, w, h); });
}

} // namespace kv
