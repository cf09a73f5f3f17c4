#include "core/compose/FixedPointMix.h"

#include "core/simd/SimdLevel.h"
#include "core/simd/SimdTargets.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <type_traits>

namespace korvex {

namespace {

constexpr int coefficientOne = 1 << 16;  // a factor of 1.0 in the terms' fixed point
constexpr int maxValueShift = 8;  // mixPixels instantiates the shifts 5 to 8
// Below this a byte has fewer than 32 steps and the rounding loss of many
// terms would show.
constexpr int minValueShift = 5;
// What one term's product may stray from the exact one, in steps: the floor
// of the multiply and the rounding of the factor.
constexpr int termSlack = 2;

// What the terms of one output channel can add and take away.
struct ChannelReach {
    double positive = 0.0;  // sum of the positive coefficients, 1.0 = unit
    double negative = 0.0;  // sum of the magnitudes of the negative ones
    int addingTerms = 0;
    int subtractingTerms = 0;
};

inline std::uint16_t highHalf(std::uint16_t a, std::uint16_t b)
{
    return std::uint16_t((std::uint32_t(a) * std::uint32_t(b)) >> 16);
}

struct TermRuns {
    std::array<const std::uint16_t*, 4> sources;
    std::array<const std::uint16_t*, 4> factors;
};

// sums = from +/- the products of N terms; from is sums itself or the start
// values. Inlined into each variant of mixChunk so that it is compiled for
// that clone's instruction set.
template <int N, bool Subtract>
__attribute__((always_inline)) inline void addTerms(const TermRuns& runs, const std::uint16_t* from, std::uint16_t* sums)
{
    constexpr int lanes = FixedPointMix::chunkBytes;
    const auto products = [&](int i) {
        std::uint16_t total = 0;
#pragma GCC unroll 4
        for (int k = 0; k < N; ++k)
            total = std::uint16_t(total + highHalf(runs.sources[std::size_t(k)][i], runs.factors[std::size_t(k)][i]));
        return Subtract ? std::uint16_t(-total) : total;
    };
    for (int i = 0; i < lanes; ++i)
        sums[i] = std::uint16_t(from[i] + products(i));
}

template <int N>
__attribute__((always_inline)) inline void addTerms(const TermRuns& runs, bool subtract, const std::uint16_t* from,
                                                    std::uint16_t* sums)
{
    if (subtract)
        addTerms<N, true>(runs, from, sums);
    else
        addTerms<N, false>(runs, from, sums);
}

}  // namespace

std::unique_ptr<FixedPointMix> FixedPointMix::plan(const MixingMatrices& m)
{
    auto mix = std::make_unique<FixedPointMix>();
    std::array<ChannelReach, 3> reach{};
    for (int picture = 0; picture < 2; ++picture) {
        const MixingMatrices::Matrix& matrix = picture == 0 ? m.left : m.right;
        for (int offset = -2; offset <= 2; ++offset) {
            for (const bool subtract : {false, true}) {
                // Coefficients above 1.0 are spread over several terms.
                std::array<long, 3> remaining{};
                for (int channel = 0; channel < 3; ++channel) {
                    const int column = channel + offset;
                    if (column < 0 || column > 2)
                        continue;
                    const int k = matrix[std::size_t(channel * 3 + column)];
                    if ((k < 0) != subtract || k == 0)
                        continue;
                    // 1.0 itself is taken as the largest factor rather than as a second term.
                    remaining[std::size_t(channel)] = std::lround(std::abs(k) * double(coefficientOne) / MixingMatrices::unit);
                    if (remaining[std::size_t(channel)] == coefficientOne)
                        remaining[std::size_t(channel)] = coefficientOne - 1;
                    (subtract ? reach[std::size_t(channel)].negative : reach[std::size_t(channel)].positive) +=
                        std::abs(k) / double(MixingMatrices::unit);
                }
                while (std::any_of(remaining.begin(), remaining.end(), [](long q) { return q > 0; })) {
                    Term term{picture, offset, subtract, {}};
                    std::array<std::uint16_t, 3> factor{};
                    for (std::size_t c = 0; c < 3; ++c) {
                        factor[c] = std::uint16_t(std::min<long>(remaining[c], coefficientOne - 1));
                        remaining[c] -= factor[c];
                        if (factor[c] != 0)
                            ++(subtract ? reach[c].subtractingTerms : reach[c].addingTerms);
                    }
                    for (int i = 0; i < chunkBytes; ++i)
                        term.factors[std::size_t(i)] = factor[std::size_t(i % 3)];
                    mix->terms_.push_back(term);
                }
            }
        }
    }
    // Adding terms first, so that mixChunk can take them two by two.
    std::stable_partition(mix->terms_.begin(), mix->terms_.end(), [](const Term& t) { return !t.subtract; });

    // The finest shift at which each channel's sum, from its bias (a whole
    // number of output steps at or above the most it can take away) up to
    // the most it can add, stays within 16 bits.
    for (int shift = maxValueShift; shift >= minValueShift; --shift) {
        const double byteMax = 255.0 * (1 << shift);
        std::array<int, 3> start{};
        std::array<int, 3> biasSteps{};
        bool fits = true;
        for (std::size_t c = 0; c < 3; ++c) {
            const ChannelReach& r = reach[c];
            biasSteps[c] = int(std::ceil((r.negative * byteMax + termSlack * r.subtractingTerms) / (1 << shift)));
            // The floor of each product loses half a step on average: given back here.
            start[c] = (biasSteps[c] << shift) + (1 << (shift - 1)) + (r.addingTerms - r.subtractingTerms) / 2;
            fits = fits && start[c] + r.positive * byteMax + termSlack * r.addingTerms < 65536.0;
        }
        if (!fits)
            continue;
        mix->valueShift_ = shift;
        for (int i = 0; i < chunkBytes; ++i) {
            mix->biasSteps_[std::size_t(i)] = std::int16_t(biasSteps[std::size_t(i % 3)]);
            mix->start_[std::size_t(i)] = std::uint16_t(start[std::size_t(i % 3)]);
        }
        return mix;
    }
    return nullptr;
}

template <int Shift>
__attribute__((always_inline)) inline void FixedPointMix::mixChunk(const std::uint8_t* left, const std::uint8_t* right, std::uint8_t* __restrict out) const
{
    // Fixed trip counts and shifts over local arrays: loops the compiler
    // vectorises, the terms' products as the high half of 16-bit multiplies.
    std::array<std::uint16_t, paddedBytes> values[2];
    for (int p = 0; p < 2; ++p) {
        const std::uint8_t* bytes = (p == 0 ? left : right) - padding;
        for (int i = 0; i < paddedBytes; ++i)
            values[p][std::size_t(i)] = std::uint16_t(bytes[i] << Shift);
    }
    Lanes sum;
    // Up to four terms of one sign per pass over the sums; the first pass
    // starts from the start values, apart so that it needs no overlap check.
    const auto pass = [&](std::size_t t, auto fromStart) __attribute__((always_inline)) {
        const std::uint16_t* from = fromStart ? start_.data() : sum.data();
        std::size_t n = 1;
        while (n < 4 && t + n < terms_.size() && terms_[t + n].subtract == terms_[t].subtract)
            ++n;
        TermRuns runs{};
        for (std::size_t k = 0; k < n; ++k) {
            runs.sources[k] = values[terms_[t + k].picture].data() + padding + terms_[t + k].offset;
            runs.factors[k] = terms_[t + k].factors.data();
        }
        const bool subtract = terms_[t].subtract;
        switch (n) {
        case 1: addTerms<1>(runs, subtract, from, sum.data()); break;
        case 2: addTerms<2>(runs, subtract, from, sum.data()); break;
        case 3: addTerms<3>(runs, subtract, from, sum.data()); break;
        default: addTerms<4>(runs, subtract, from, sum.data()); break;
        }
        return t + n;
    };
    if (terms_.empty())
        sum = start_;
    for (std::size_t t = terms_.empty() ? 0 : pass(0, std::true_type{}); t < terms_.size();)
        t = pass(t, std::false_type{});
    // Whole steps above the bias; the narrowing to bytes clamps at 0 and 255.
    // Into a local array first: out, inlined, no longer promises not to overlap.
    std::array<std::uint8_t, chunkBytes> bytes;
    for (int i = 0; i < chunkBytes; ++i) {
        const std::int16_t steps = std::int16_t(std::int16_t(sum[std::size_t(i)] >> Shift) - biasSteps_[std::size_t(i)]);
        bytes[std::size_t(i)] = std::uint8_t(std::clamp<std::int16_t>(steps, 0, 255));
    }
    std::memcpy(out, bytes.data(), bytes.size());
}

// The same loops compiled three times, the wider for processors that have
// AVX2 or AVX-512, chosen at run time (SimdLevel).
template <int Shift>
void FixedPointMix::mixChunkPlain(const std::uint8_t* left, const std::uint8_t* right, std::uint8_t* __restrict out) const
{
    mixChunk<Shift>(left, right, out);
}

#if defined(__x86_64__) || defined(__i386__)
template <int Shift>
KORVEX_TARGET_AVX2 void FixedPointMix::mixChunkAvx2(const std::uint8_t* left, const std::uint8_t* right,
                                                                 std::uint8_t* __restrict out) const
{
    mixChunk<Shift>(left, right, out);
}

template <int Shift>
KORVEX_TARGET_AVX512_LOOPS void
FixedPointMix::mixChunkAvx512(const std::uint8_t* left, const std::uint8_t* right, std::uint8_t* __restrict out) const
{
    mixChunk<Shift>(left, right, out);
}
#endif

template <int Shift>
void FixedPointMix::mixChunkFor(const std::uint8_t* left, const std::uint8_t* right, std::uint8_t* __restrict out) const
{
#if defined(__x86_64__) || defined(__i386__)
    if (simdLevel() == SimdLevel::Avx512) {
        mixChunkAvx512<Shift>(left, right, out);
        return;
    }
    if (simdLevel() == SimdLevel::Avx2) {
        mixChunkAvx2<Shift>(left, right, out);
        return;
    }
#endif
    mixChunkPlain<Shift>(left, right, out);
}

void FixedPointMix::mixPixels(const std::uint8_t* left, int leftStride, const std::uint8_t* right,
                              int rightStride, std::uint8_t* out, int pixels) const
{
    // Chunks inside a 24-bit row are read in place, padding and all; the
    // others are copied with bytes either side that meet only zero factors.
    std::array<std::uint8_t, paddedBytes> copies[2]{};
    std::array<std::uint8_t, chunkBytes> mixed;
    const std::uint8_t* rows[2] = {left, right};
    const int strides[2] = {leftStride, rightStride};
    for (int x = 0; x < pixels; x += chunkPixels) {
        const int n = std::min(chunkPixels, pixels - x);
        const bool inside = 3 * x >= padding && 3 * (x + chunkPixels) + padding <= 3 * pixels;
        const std::uint8_t* sources[2];
        for (int p = 0; p < 2; ++p) {
            const std::uint8_t* s = rows[p] + std::size_t(x) * std::size_t(strides[p]);
            std::uint8_t* d = copies[p].data() + padding;
            sources[p] = d;
            if (strides[p] == 3 && inside) {
                sources[p] = s;
            } else if (strides[p] == 3) {
                std::memcpy(d, s, std::size_t(n) * 3);
            } else {
                for (int i = 0; i < n; ++i, s += 4, d += 3)
                    std::memcpy(d, s, 3);
            }
        }
        std::uint8_t* target = n == chunkPixels ? out + std::size_t(x) * 3 : mixed.data();
        switch (valueShift_) {
        case 8: mixChunkFor<8>(sources[0], sources[1], target); break;
        case 7: mixChunkFor<7>(sources[0], sources[1], target); break;
        case 6: mixChunkFor<6>(sources[0], sources[1], target); break;
        default: mixChunkFor<5>(sources[0], sources[1], target); break;
        }
        if (target == mixed.data())
            std::memcpy(out + std::size_t(x) * 3, mixed.data(), std::size_t(n) * 3);
    }
}

}  // namespace korvex
