#include "core/stereo/Squeeze.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace korvex {

namespace {

constexpr double lobes = 3.0;

double sinc(double x)
{
    if (x == 0.0)
        return 1.0;
    const double px = std::numbers::pi * x;
    return std::sin(px) / px;
}

double lanczos(double x)
{
    return std::abs(x) < lobes ? sinc(x) * sinc(x / lobes) : 0.0;
}

std::uint8_t clampToByte(std::int32_t sum)
{
    const std::int32_t v = (sum + Squeeze::one / 2) >> Squeeze::fractionBits;
    return std::uint8_t(std::clamp(v, 0, 255));
}

// Whole chunks of a fixed length, which the compiler vectorises; the tail
// one value at a time.
constexpr std::size_t chunk = 64;

void addWeighted(const std::uint8_t* __restrict row, std::int32_t weight, std::int32_t* __restrict sums, std::size_t n)
{
    std::size_t x = 0;
    for (; x + chunk <= n; x += chunk)
        for (std::size_t i = 0; i < chunk; ++i)
            sums[x + i] += weight * row[x + i];
    for (; x < n; ++x)
        sums[x] += weight * row[x];
}

void toBytes(const std::int32_t* __restrict sums, std::uint8_t* __restrict out, std::size_t n)
{
    std::size_t x = 0;
    for (; x + chunk <= n; x += chunk)
        for (std::size_t i = 0; i < chunk; ++i)
            out[x + i] = clampToByte(sums[x + i]);
    for (; x < n; ++x)
        out[x] = clampToByte(sums[x]);
}

}  // namespace

Squeeze::Squeeze(int from, int to, int begin, int end)
{
    const double scale = double(from) / double(to);
    const double radius = lobes * scale;
    start_.push_back(0);
    std::vector<double> taps;
    for (int i = begin; i < end; ++i) {
        const double centre = (i + 0.5) * scale - 0.5;
        const int lo = int(std::ceil(centre - radius));
        const int hi = int(std::floor(centre + radius));
        const int firstInput = std::clamp(lo, 0, from - 1);
        const int lastInput = std::clamp(hi, 0, from - 1);
        taps.assign(std::size_t(lastInput - firstInput + 1), 0.0);
        double total = 0.0;
        for (int j = lo; j <= hi; ++j) {
            const double w = lanczos((j - centre) / scale);
            taps[std::size_t(std::clamp(j, 0, from - 1) - firstInput)] += w;
            total += w;
        }
        // Rounded weights, with the rounding's remainder put on the largest, so flat areas stay exact.
        std::int32_t sum = 0;
        std::size_t largest = 0;
        const std::size_t base = weights_.size();
        for (std::size_t k = 0; k < taps.size(); ++k) {
            const auto w = std::int32_t(std::lround(taps[k] / total * one));
            weights_.push_back(w);
            sum += w;
            if (taps[k] > taps[largest])
                largest = k;
        }
        weights_[base + largest] += one - sum;
        first_.push_back(firstInput);
        start_.push_back(weights_.size());
    }
}

std::span<const std::int32_t> Squeeze::weights(int i) const
{
    const std::size_t b = start_[std::size_t(i)];
    return {weights_.data() + b, start_[std::size_t(i) + 1] - b};
}

void Squeeze::squeezeRow(const std::uint8_t* in, std::uint8_t* out, int inFrom) const
{
    for (int i = 0; i < outputs(); ++i, out += 3) {
        const std::span<const std::int32_t> w = weights(i);
        const std::uint8_t* p = in + std::size_t(first(i) - inFrom) * 3;
        std::int32_t r = 0, g = 0, b = 0;
        for (std::size_t k = 0; k < w.size(); ++k, p += 3) {
            r += w[k] * p[0];
            g += w[k] * p[1];
            b += w[k] * p[2];
        }
        out[0] = clampToByte(r);
        out[1] = clampToByte(g);
        out[2] = clampToByte(b);
    }
}

void Squeeze::squeezeColumnsInto(int i, const std::uint8_t* const* inputRows, std::size_t bytes,
                                 std::int32_t* sums, std::uint8_t* out) const
{
    // Row by row, so the inner loop runs along memory.
    const std::span<const std::int32_t> w = weights(i);
    std::fill(sums, sums + bytes, 0);
    for (std::size_t k = 0; k < w.size(); ++k)
        addWeighted(inputRows[k], w[k], sums, bytes);
    toBytes(sums, out, bytes);
}

}  // namespace korvex
