#pragma once

#include "core/bitmap/Bitmap.h"
#include "core/compose/AnaglyphMethod.h"
#include "core/compose/OverlapGeometry.h"

namespace korvex {

// The matrix methods: every result pixel is clamp(ML * left + MR * right),
// components 0.0 to 1.0, optionally in linear light, rounded to the nearest
// byte. 24- and 32-bit pictures take a byte path on both cores: 16-bit fixed
// point in SIMD (FixedPointMix) without the sRGB curve; with it, AVX-512
// (LinearLightMixAvx512) where the processor has it, else lookup tables and
// integer sums; every other layout is computed per pixel in double
// precision and gives the same values within one step.
class MatrixComposer {
public:
    explicit MatrixComposer(const ChannelMixing& mixing) : mixing_(mixing) {}

    // As AnaglyphComposer::compose: result is an 8-bit RGB canvas of the overlap's size.
    void compose(const Bitmap& left, const Bitmap& right, const OverlapGeometry& geometry, Bitmap& result) const;

    // One pixel by the formula, in double precision.
    Color mix(const Color& left, const Color& right) const;

private:
    void composeBytes(const Bitmap& left, const Bitmap& right, const OverlapGeometry& geometry, Bitmap& result) const;
    void composePerPixel(const Bitmap& left, const Bitmap& right, const OverlapGeometry& geometry, Bitmap& result) const;

    ChannelMixing mixing_;
};

}  // namespace korvex
