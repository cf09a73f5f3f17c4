#pragma once

// Hostile test files made from our own encoder's output: headers patched to
// declare other sizes, and a child process with little address space left.

#include "core/bitmap/Bitmap.h"
#include "core/bitmap/ImageDecoder.h"
#include "core/bitmap/ImageEncoder.h"

#include "../TestPictures.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace korvex::testing {

inline std::vector<std::uint8_t> encodedPicture(FileType type, int w, int h)
{
    auto canvas = Bitmap::createRGBCanvas(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w * 3; ++x)
            canvas->bitmapData()[std::size_t(y) * canvas->bytesPerRow() + std::size_t(x)] = std::uint8_t(40 * x + y);
    EncodeProperties properties;
    if (type == FileType::TIFF)
        properties.compressionMethod = compressionMethodLZW;
    EncodeResult encoded = representationUsingType(*canvas, type, properties);
    if (!encoded)
        throw std::runtime_error("cannot encode the test picture: " + encoded.error);
    return encoded.data;
}

inline void putBig16(std::vector<std::uint8_t>& v, std::size_t at, std::uint32_t x)
{
    v.at(at) = std::uint8_t(x >> 8);
    v.at(at + 1) = std::uint8_t(x);
}

inline void putBig32(std::vector<std::uint8_t>& v, std::size_t at, std::uint32_t x)
{
    putBig16(v, at, x >> 16);
    putBig16(v, at + 2, x & 0xFFFF);
}

// The IHDR chunk follows the signature: length, "IHDR", width, height, ..., CRC.
inline std::vector<std::uint8_t> pngDeclaring(std::uint32_t w, std::uint32_t h)
{
    std::vector<std::uint8_t> png = encodedPicture(FileType::PNG, 1, 1);
    putBig32(png, 16, w);
    putBig32(png, 20, h);
    putBig32(png, 29, crc32(png.data() + 12, 17));
    return png;
}

// A chunk whose length field says `claimed` although only `body` follows
// (then its CRC, right for the body alone).
inline std::vector<std::uint8_t> pngChunk(const char* type, std::uint32_t claimed, const std::vector<std::uint8_t>& body)
{
    std::vector<std::uint8_t> chunk(12 + body.size());
    putBig32(chunk, 0, claimed);
    std::copy_n(type, 4, chunk.begin() + 4);
    std::copy(body.begin(), body.end(), chunk.begin() + 8);
    putBig32(chunk, chunk.size() - 4, crc32(chunk.data() + 4, 4 + body.size()));
    return chunk;
}

// A 4 x 4 RGB picture with `chunk` right after its header, or right before
// its end when `afterPixels`.
inline std::vector<std::uint8_t> pngWithChunk(const std::vector<std::uint8_t>& chunk, bool afterPixels = false)
{
    std::vector<std::uint8_t> png = encodedPicture(FileType::PNG, 4, 4);
    const std::size_t at = afterPixels ? png.size() - 12 : 8 + 25;  // before IEND, or after IHDR
    png.insert(png.begin() + std::ptrdiff_t(at), chunk.begin(), chunk.end());
    return png;
}

// A chunk that claims about 2 GB and is followed by a dozen bytes: the
// file ends long before the length says.
inline std::vector<std::uint8_t> pngClaimingGigabytes(const char* type)
{
    const std::vector<std::uint8_t> dozen = {'k', 'e', 'y', 0, 't', 'e', 'x', 't', 1, 2, 3, 4};
    return pngWithChunk(pngChunk(type, 0x7FFFFFF0u, dozen));
}

// The start-of-frame segment holds the height, then the width.
inline std::vector<std::uint8_t> jpegDeclaring(std::uint16_t w, std::uint16_t h)
{
    std::vector<std::uint8_t> jpeg = encodedPicture(FileType::JPEG, 8, 8);
    for (std::size_t i = 2; i + 9 < jpeg.size(); ++i)
        if (jpeg[i] == 0xFF && jpeg[i + 1] >= 0xC0 && jpeg[i + 1] <= 0xC2) {
            putBig16(jpeg, i + 5, h);
            putBig16(jpeg, i + 7, w);
            return jpeg;
        }
    throw std::runtime_error("no start-of-frame segment in the test JPEG");
}

// Both the logical screen and the first frame declare the size.
inline std::vector<std::uint8_t> gifDeclaring(std::uint16_t w, std::uint16_t h)
{
    std::vector<std::uint8_t> gif = encodedPicture(FileType::GIF, 1, 1);
    auto putLittle16 = [&](std::size_t at, std::uint16_t x) {
        gif.at(at) = std::uint8_t(x);
        gif.at(at + 1) = std::uint8_t(x >> 8);
    };
    putLittle16(6, w);
    putLittle16(8, h);
    std::size_t at = 13;
    if (gif[10] & 0x80)
        at += std::size_t(3) << ((gif[10] & 7) + 1);  // global colour table
    while (at < gif.size() && gif[at] == 0x21) {      // extensions before the frame
        at += 2;
        while (at < gif.size() && gif[at] != 0)
            at += gif[at] + 1u;
        ++at;
    }
    if (at >= gif.size() || gif[at] != 0x2C)
        throw std::runtime_error("no image descriptor in the test GIF");
    putLittle16(at + 5, w);
    putLittle16(at + 7, h);
    return gif;
}

// A one-pixel frame on a logical screen of the given size.
inline std::vector<std::uint8_t> gifDeclaringScreen(std::uint16_t w, std::uint16_t h)
{
    std::vector<std::uint8_t> gif = encodedPicture(FileType::GIF, 1, 1);
    gif.at(6) = std::uint8_t(w);
    gif.at(7) = std::uint8_t(w >> 8);
    gif.at(8) = std::uint8_t(h);
    gif.at(9) = std::uint8_t(h >> 8);
    return gif;
}

// Rewrites ImageWidth and ImageLength in the first directory as LONG values,
// with the whole picture in one strip.
inline std::vector<std::uint8_t> tiffDeclaring(std::uint32_t w, std::uint32_t h)
{
    std::vector<std::uint8_t> tiff = encodedPicture(FileType::TIFF, 1, 1);
    const bool little = tiff.at(0) == 'I';
    auto get = [&](std::size_t at, int bytes) {
        std::uint32_t x = 0;
        for (int i = 0; i < bytes; ++i)
            x |= std::uint32_t(tiff.at(at + std::size_t(i))) << (8 * (little ? i : bytes - 1 - i));
        return x;
    };
    auto put = [&](std::size_t at, std::uint32_t x, int bytes) {
        for (int i = 0; i < bytes; ++i)
            tiff.at(at + std::size_t(i)) = std::uint8_t(x >> (8 * (little ? i : bytes - 1 - i)));
    };
    const std::size_t directory = get(4, 4);
    const std::uint32_t entries = get(directory, 2);
    for (std::uint32_t e = 0; e < entries; ++e) {
        const std::size_t entry = directory + 2 + 12 * std::size_t(e);
        const std::uint32_t tag = get(entry, 2);
        if (tag == 256 || tag == 257 || tag == 278) {  // width, length, rows per strip: one strip
            put(entry + 2, 4, 2);                         // LONG
            put(entry + 8, tag == 256 ? w : h, 4);
        }
    }
    return tiff;
}

// An uncompressed 8-bit grey TIFF of w x h in one tile of tileW x tileH;
// a tile of more than a megabyte stores only the picture's own bytes.
inline std::vector<std::uint8_t> tiledTiff(std::uint16_t w, std::uint16_t h, std::uint16_t tileW, std::uint16_t tileH)
{
    const std::uint16_t entries[][3] = {{256, 3, w}, {257, 3, h}, {258, 3, 8}, {259, 3, 1}, {262, 3, 1},
                                        {277, 3, 1}, {322, 3, tileW}, {323, 3, tileH}, {324, 4, 0}, {325, 4, 0}};
    const std::uint32_t count = std::uint32_t(std::size(entries));
    const std::uint32_t dataAt = 8 + 2 + 12 * count + 4;
    const std::uint32_t tileBytes = std::uint32_t(tileW) * tileH;
    const std::uint32_t stored = tileBytes <= (1u << 20) ? tileBytes : std::uint32_t(w) * h;
    std::vector<std::uint8_t> tiff = {'I', 'I', 42, 0, 8, 0, 0, 0, std::uint8_t(count), 0};
    auto putLittle = [&](std::uint32_t x, int bytes) {
        for (int i = 0; i < bytes; ++i)
            tiff.push_back(std::uint8_t(x >> (8 * i)));
    };
    for (const auto& e : entries) {
        putLittle(e[0], 2);
        putLittle(e[1], 2);
        putLittle(1, 4);
        putLittle(e[0] == 324 ? dataAt : e[0] == 325 ? stored : e[2], 4);
    }
    putLittle(0, 4);
    tiff.resize(tiff.size() + stored, 0x80);
    return tiff;
}

// The start-of-frame segment (baseline or progressive) of any JPEG stream
// rewritten to declare w x h.
inline std::vector<std::uint8_t> jpegRedeclared(std::vector<std::uint8_t> jpeg, std::uint16_t w, std::uint16_t h)
{
    for (std::size_t i = 2; i + 9 < jpeg.size();) {
        if (jpeg[i] != 0xFF)
            break;
        if (jpeg[i + 1] >= 0xC0 && jpeg[i + 1] <= 0xC2) {
            putBig16(jpeg, i + 5, h);
            putBig16(jpeg, i + 7, w);
            return jpeg;
        }
        i += 2 + (std::size_t(jpeg[i + 2]) << 8 | jpeg[i + 3]);
    }
    throw std::runtime_error("no start-of-frame segment in the JPEG");
}

// True when a child may be limited in address space: the address and thread
// sanitizers reserve terabytes of shadow memory up front.
inline bool addressLimitsWork()
{
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    return false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    return false;
#else
    return true;
#endif
#else
    return true;
#endif
}

struct ChildRun {
    bool exitedCleanly = false;
    std::string report;  // what the child wrote to its report descriptor
};

// Runs `work` in a forked child whose address space may grow by only
// `headroom` bytes (no limit when absent), and collects what it reports.
// `work` gets the report descriptor too, for writing from where returning is
// no longer possible (a failed allocation).
inline ChildRun runInChild(std::optional<std::size_t> headroom, const std::function<std::string(int reportFd)>& work)
{
    int fds[2];
    if (pipe(fds) != 0)
        return {false, "no pipe"};
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        bool limited = true;
        if (headroom) {
            long pages = 0;
            if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
                if (std::fscanf(statm, "%ld", &pages) != 1)
                    pages = 0;
                std::fclose(statm);
            }
            const rlim_t limit = rlim_t(pages) * rlim_t(sysconf(_SC_PAGESIZE)) + *headroom;
            const rlimit rl{limit, limit};
            limited = setrlimit(RLIMIT_AS, &rl) == 0;
        }
        const std::string report = limited ? work(fds[1]) : "no limit";
        const char* p = report.data();
        std::size_t left = report.size();
        while (left > 0) {
            const ssize_t n = write(fds[1], p, left);
            if (n <= 0)
                _exit(1);
            p += n;
            left -= std::size_t(n);
        }
        _exit(0);
    }
    close(fds[1]);
    ChildRun run;
    char buffer[512];
    for (ssize_t n; (n = read(fds[0], buffer, sizeof buffer)) > 0;)
        run.report.append(buffer, std::size_t(n));
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    run.exitedCleanly = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return run;
}

// What `work` returned in a child with `headroom` bytes of address space to
// spare, or "crashed" when it died.
inline std::string inChildWithHeadroom(std::size_t headroom, const std::function<std::string()>& work)
{
    const ChildRun run = runInChild(headroom, [&](int) { return work(); });
    return run.exitedCleanly ? run.report : "crashed";
}

inline std::string outcome(const DecodeResult& r)
{
    if (r.bitmap)
        return std::to_string(r.bitmap->pixelsWide()) + " x " + std::to_string(r.bitmap->pixelsHigh());
    return "refused: " + r.error;
}

}  // namespace korvex::testing
