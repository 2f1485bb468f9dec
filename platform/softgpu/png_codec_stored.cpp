// PNG files without a compressor: the pixels go out in deflate's stored blocks, which any PNG
// reader takes; files are larger than libpng's but byte for byte what was drawn. Reading goes
// through stb_image, which emscripten ships ready built.
#include "platform/softgpu/png_codec.h"

#include <stb_image.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <memory>

namespace softgpu::png {

namespace {

std::uint32_t crc32(const std::uint8_t* bytes, std::size_t size, std::uint32_t crc = 0) {
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    crc = ~crc;
    for (std::size_t i = 0; i < size; ++i) crc = table[(crc ^ bytes[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

// One chunk: length, type, data, and the CRC of type and data.
void putChunk(std::vector<std::uint8_t>& out, const char* type,
              const std::vector<std::uint8_t>& data) {
    put32(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t typeAt = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    put32(out, crc32(out.data() + typeAt, out.size() - typeAt));
}

// A zlib stream of stored blocks around the raw bytes.
std::vector<std::uint8_t> storedZlib(const std::vector<std::uint8_t>& raw) {
    constexpr std::size_t maxBlock = 65535;
    std::vector<std::uint8_t> out{0x78, 0x01};
    std::uint32_t a = 1, b = 0; // Adler-32 of the raw bytes
    std::size_t at = 0;
    do {
        const std::size_t length = std::min(maxBlock, raw.size() - at);
        const bool last = at + length == raw.size();
        out.push_back(last ? 1 : 0);
        out.push_back(static_cast<std::uint8_t>(length));
        out.push_back(static_cast<std::uint8_t>(length >> 8));
        out.push_back(static_cast<std::uint8_t>(~length));
        out.push_back(static_cast<std::uint8_t>(~length >> 8));
        for (std::size_t i = at; i < at + length; ++i) {
            a = (a + raw[i]) % 65521;
            b = (b + a) % 65521;
        }
        out.insert(out.end(), raw.begin() + static_cast<std::ptrdiff_t>(at),
                   raw.begin() + static_cast<std::ptrdiff_t>(at + length));
        at += length;
    } while (at < raw.size());
    put32(out, b << 16 | a);
    return out;
}

} // namespace

bool writeRgb(const std::string& path, const std::uint8_t* rgb, int width, int height,
              std::string& error) {
    // Every row starts with filter type 0 (none). The limit keeps the sizes far inside 32 bits.
    constexpr int maxSide = 8192;
    if (width > maxSide || height > maxSide) {
        error = "cannot write " + path + ": the picture is too large";
        return false;
    }
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 3;
    std::vector<std::uint8_t> raw;
    raw.reserve((rowBytes + 1) * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);
        raw.insert(raw.end(), rgb + y * rowBytes, rgb + (y + 1) * rowBytes);
    }

    std::vector<std::uint8_t> file{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> header;
    put32(header, static_cast<std::uint32_t>(width));
    put32(header, static_cast<std::uint32_t>(height));
    header.insert(header.end(), {8, 2, 0, 0, 0}); // 8-bit RGB, deflate, no filter, no interlace
    putChunk(file, "IHDR", header);
    putChunk(file, "IDAT", storedZlib(raw));
    putChunk(file, "IEND", {});

    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> out(std::fopen(path.c_str(), "wb"),
                                                              std::fclose);
    if (!out || std::fwrite(file.data(), 1, file.size(), out.get()) != file.size() ||
        std::fflush(out.get()) != 0) {
        error = "cannot write " + path + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

bool readRgb(const std::string& path, std::vector<std::uint8_t>& rgb, int& width, int& height,
             std::string& error) {
    int w = 0, h = 0, channels = 0;
    const std::unique_ptr<stbi_uc, void (*)(void*)> pixels(
        stbi_load(path.c_str(), &w, &h, &channels, 3), stbi_image_free);
    if (!pixels) {
        error = "cannot read " + path + ": " + stbi_failure_reason();
        return false;
    }
    rgb.assign(pixels.get(), pixels.get() + static_cast<std::size_t>(w) * h * 3);
    width = w;
    height = h;
    return true;
}

} // namespace softgpu::png
