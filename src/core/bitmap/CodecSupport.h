#pragma once

#include "core/bitmap/Bitmap.h"

#include <cstddef>
#include <memory>
#include <string>

// Small helpers shared by the PNG, JPEG, TIFF and GIF codecs.
namespace korvex::codec {

// Message buffer kept in the plain structs that the C libraries' callbacks see:
// those callbacks may longjmp, so they must not own C++ objects.
inline constexpr std::size_t messageSize = 256;
void copyMessage(char (&target)[messageSize], const char* text);

// A bitmap for a decoded picture whose size already passed ImageLimits::check;
// null with `error` set when memory is short.
std::unique_ptr<Bitmap> createDecodedBitmap(const Bitmap::Layout& layout, std::string& error);

// The warning of a picture loaded although its data ended early or broke:
// names the cause and what the missing part was filled with.
std::string damagedWarning(const std::string& cause, const char* filling);

// What the missing rows of a decoded bitmap hold: zero samples.
const char* zeroFillingName(bool hasAlpha);

// Clears rows [firstRow, pixelsHigh) of every plane.
void clearRows(Bitmap& bitmap, int firstRow);

}  // namespace korvex::codec
