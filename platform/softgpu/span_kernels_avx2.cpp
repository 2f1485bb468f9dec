// The span kernels in AVX2, eight pixels at a time, built with AVX2 enabled for this file
// only and used only when the processor reports it. Every step is the same integer or float
// operation as in the plain kernels, so the pictures are identical either way.
#include "platform/softgpu/span_kernels.h"

#include <immintrin.h>

#include <algorithm>

namespace softgpu {

namespace {

constexpr int lanes = 8;

void coordinatesAvx2(const CoordinateRun& run, int first, int count, std::int32_t* s,
                     std::int32_t* t) {
    const __m256 laneIndex = _mm256_setr_ps(0, 1, 2, 3, 4, 5, 6, 7);
    const __m256 low = _mm256_set1_ps(-2.0e9f);
    const __m256 high = _mm256_set1_ps(2.0e9f);
    const __m256 half = _mm256_set1_ps(0.5f * (1 << texelFractionBits));
    const __m256 one = _mm256_set1_ps(1.0f);
    const __m256 s0 = _mm256_set1_ps(run.s0), sStep = _mm256_set1_ps(run.sStep);
    const __m256 t0 = _mm256_set1_ps(run.t0), tStep = _mm256_set1_ps(run.tStep);
    const __m256 q0 = _mm256_set1_ps(run.q0), qStep = _mm256_set1_ps(run.qStep);
    int i = first;
    for (; i + lanes <= count; i += lanes) {
        const __m256 step = _mm256_add_ps(_mm256_set1_ps(static_cast<float>(i)), laneIndex);
        __m256 sValue = _mm256_add_ps(s0, _mm256_mul_ps(step, sStep));
        __m256 tValue = _mm256_add_ps(t0, _mm256_mul_ps(step, tStep));
        if (run.perspective) {
            const __m256 w = _mm256_div_ps(one, _mm256_add_ps(q0, _mm256_mul_ps(step, qStep)));
            sValue = _mm256_sub_ps(_mm256_mul_ps(sValue, w), half);
            tValue = _mm256_sub_ps(_mm256_mul_ps(tValue, w), half);
        }
        sValue = _mm256_min_ps(_mm256_max_ps(sValue, low), high);
        tValue = _mm256_min_ps(_mm256_max_ps(tValue, low), high);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(s + i), _mm256_cvtps_epi32(sValue));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(t + i), _mm256_cvtps_epi32(tValue));
    }
    plain::coordinates(run, i, count, s, t);
}

// The blend weights of eight pixels for lerpTexels: a coordinate's fraction rounded to
// sixteenths of a texel, w (0..16), as the byte pairs (16 - w, w), one pair per channel, laid
// out as unpacking two texels' bytes lays out the pixels (low: 0, 1, 4, 5; high: 2, 3, 6, 7).
struct BlendWeights {
    __m256i low, high;

    explicit BlendWeights(__m256i coordinates) {
        const __m256i w = _mm256_srli_epi32(
            _mm256_add_epi32(_mm256_and_si256(coordinates, _mm256_set1_epi32(0xFF)),
                             _mm256_set1_epi32(8)),
            4);
        const __m256i pair =
            _mm256_or_si256(_mm256_sub_epi32(_mm256_set1_epi32(16), w), _mm256_slli_epi32(w, 8));
        const __m256i pairs = _mm256_or_si256(pair, _mm256_slli_epi32(pair, 16));
        low = _mm256_unpacklo_epi32(pairs, pairs);
        high = _mm256_unpackhi_epi32(pairs, pairs);
    }
};

// lerpTexel on eight texels: a + (b - a) * 16w / 256 is (a * (16 - w) + b * w) / 16 rounded
// down, so each channel is one multiply-add of its two bytes by the weight pair.
inline __m256i lerpTexels(__m256i a, __m256i b, const BlendWeights& weights) {
    const __m256i low =
        _mm256_srli_epi16(_mm256_maddubs_epi16(_mm256_unpacklo_epi8(a, b), weights.low), 4);
    const __m256i high =
        _mm256_srli_epi16(_mm256_maddubs_epi16(_mm256_unpackhi_epi8(a, b), weights.high), 4);
    return _mm256_packus_epi16(low, high);
}

// One texel row's window of eight or sixteen columns, from which lanes pick their texels.
struct RowWindow {
    __m256i low, high; // high only in a window of sixteen

    RowWindow(const std::uint32_t* texels, bool wide)
        : low(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(texels))),
          high(wide ? _mm256_loadu_si256(reinterpret_cast<const __m256i*>(texels + lanes)) : low) {}

    // The texels at these columns (0..15) of the window.
    __m256i pick(__m256i columns) const {
        const __m256i fromHigh = _mm256_cmpgt_epi32(columns, _mm256_set1_epi32(lanes - 1));
        return _mm256_blendv_epi8(_mm256_permutevar8x32_epi32(low, columns),
                                  _mm256_permutevar8x32_epi32(high, columns), fromHigh);
    }
};

// Whether every lane's value lies in first..first + span (span small and not negative).
inline bool allWithin(__m256i values, std::int32_t first, std::int32_t span, __m256i& offset) {
    offset = _mm256_sub_epi32(values, _mm256_set1_epi32(first));
    const __m256i inside =
        _mm256_cmpeq_epi32(_mm256_min_epu32(offset, _mm256_set1_epi32(span)), offset);
    return _mm256_movemask_epi8(inside) == -1;
}

// Where the eight pixels of a group read at most three neighbouring texel rows within sixteen
// neighbouring columns (nearly all of the game's pictures and walls), the texels come from
// plain loads of the rows with their first texels repeated after them, put in place by
// permutes: much cheaper than four gathers. Returns false, having done nothing, elsewhere.
inline bool sampleFromWindows(const TextureView& texture, const std::int32_t* s,
                              const std::int32_t* t, __m256i s0, __m256i t0,
                              __m256i (&corners)[4]) {
    // Columns and rows rise or fall along a group, so its ends hold the extremes; the exact
    // checks below catch any group where rounding says otherwise.
    const std::int32_t firstColumn = s[0] >> texelFractionBits;
    const std::int32_t lastColumn = s[lanes - 1] >> texelFractionBits;
    const std::int32_t left = std::min(firstColumn, lastColumn);
    const bool wide = std::max(firstColumn, lastColumn) - left > lanes - 2;
    // Rows with their first texels repeated after them: a window never wraps.
    if (texture.repeatedTexels == nullptr || texture.repeated < 2 * lanes) return false;
    const std::int32_t base = left & (texture.width - 1);
    const std::int32_t firstRow = t[0] >> texelFractionBits;
    const std::int32_t lastRow = t[lanes - 1] >> texelFractionBits;
    const std::int32_t row = std::min(firstRow, lastRow);
    const std::int32_t rowSpan = std::max(firstRow, lastRow) - row;
    __m256i column, rowOffset;
    if (rowSpan > 1 || !allWithin(s0, left, wide ? 2 * lanes - 2 : lanes - 2, column) ||
        !allWithin(t0, row, rowSpan, rowOffset)) {
        return false;
    }
    const std::int32_t maskV = texture.height - 1;
    const std::ptrdiff_t pitch = texture.width + texture.repeated;
    auto window = [&](std::int32_t r) {
        return RowWindow(texture.repeatedTexels + (r & maskV) * pitch + base, wide);
    };
    const __m256i nextColumn = _mm256_add_epi32(column, _mm256_set1_epi32(1));
    const RowWindow upper = window(row);
    const RowWindow lower = window(row + 1);
    corners[0] = upper.pick(column);
    corners[1] = upper.pick(nextColumn);
    corners[2] = lower.pick(column);
    corners[3] = lower.pick(nextColumn);
    if (rowSpan == 1) {
        // Lanes a row further down read the second and third rows.
        const RowWindow lowest = window(row + 2);
        const __m256i down = _mm256_cmpeq_epi32(rowOffset, _mm256_set1_epi32(1));
        corners[0] = _mm256_blendv_epi8(corners[0], corners[2], down);
        corners[1] = _mm256_blendv_epi8(corners[1], corners[3], down);
        corners[2] = _mm256_blendv_epi8(corners[2], lowest.pick(column), down);
        corners[3] = _mm256_blendv_epi8(corners[3], lowest.pick(nextColumn), down);
    }
    return true;
}

void bilinearWrapAvx2(const TextureView& texture, const std::int32_t* s, const std::int32_t* t,
                      int count, std::uint32_t* out) {
    const auto* texels = reinterpret_cast<const int*>(texture.texels);
    const __m256i maskU = _mm256_set1_epi32(texture.width - 1);
    const __m256i maskV = _mm256_set1_epi32(texture.height - 1);
    const __m128i shift = _mm_cvtsi32_si128(texture.widthShift);
    const __m256i oneTexel = _mm256_set1_epi32(1);
    int i = 0;
    for (; i + lanes <= count; i += lanes) {
        const __m256i sValue = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i));
        const __m256i tValue = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(t + i));
        const __m256i s0 = _mm256_srai_epi32(sValue, texelFractionBits);
        const __m256i t0 = _mm256_srai_epi32(tValue, texelFractionBits);
        const BlendWeights fu(sValue);
        const BlendWeights fv(tValue);
        __m256i corners[4];
        if (!sampleFromWindows(texture, s + i, t + i, s0, t0, corners)) {
            const __m256i column0 = _mm256_and_si256(s0, maskU);
            const __m256i column1 = _mm256_and_si256(_mm256_add_epi32(s0, oneTexel), maskU);
            const __m256i row0 = _mm256_sll_epi32(_mm256_and_si256(t0, maskV), shift);
            const __m256i row1 =
                _mm256_sll_epi32(_mm256_and_si256(_mm256_add_epi32(t0, oneTexel), maskV), shift);
            corners[0] = _mm256_i32gather_epi32(texels, _mm256_add_epi32(row0, column0), 4);
            corners[1] = _mm256_i32gather_epi32(texels, _mm256_add_epi32(row0, column1), 4);
            corners[2] = _mm256_i32gather_epi32(texels, _mm256_add_epi32(row1, column0), 4);
            corners[3] = _mm256_i32gather_epi32(texels, _mm256_add_epi32(row1, column1), 4);
        }
        const __m256i top = lerpTexels(corners[0], corners[1], fu);
        const __m256i bottom = lerpTexels(corners[2], corners[3], fu);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), lerpTexels(top, bottom, fv));
    }
    plain::bilinearWrap(texture, s + i, t + i, count - i, out + i);
}

// x * y / 255 rounded, in 16-bit lanes holding bytes.
inline __m256i multiplyBytes(__m256i x, __m256i y) {
    const __m256i product = _mm256_add_epi16(_mm256_mullo_epi16(x, y), _mm256_set1_epi16(128));
    return _mm256_srli_epi16(_mm256_add_epi16(product, _mm256_srli_epi16(product, 8)), 8);
}

void modulateFlatAvx2(std::uint32_t diffuse, std::uint32_t* colours, int count) {
    const __m256i channelMask = _mm256_set1_epi32(0x00FF00FF);
    const __m256i diffuseRedBlue = _mm256_set1_epi32(static_cast<int>(diffuse & 0x00FF00FFu));
    const __m256i diffuseGreen = _mm256_set1_epi32(static_cast<int>((diffuse >> 8) & 0xFF));
    const __m256i alphaMask = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
    int i = 0;
    for (; i + lanes <= count; i += lanes) {
        const __m256i c = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(colours + i));
        const __m256i redBlue = multiplyBytes(_mm256_and_si256(c, channelMask), diffuseRedBlue);
        const __m256i green = multiplyBytes(
            _mm256_and_si256(_mm256_srli_epi32(c, 8), _mm256_set1_epi32(0xFF)), diffuseGreen);
        const __m256i result = _mm256_or_si256(
            _mm256_and_si256(c, alphaMask), _mm256_or_si256(redBlue, _mm256_slli_epi32(green, 8)));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(colours + i), result);
    }
    plain::modulateFlat(diffuse, colours + i, count - i);
}

inline __m256i passingAlpha(__m256i colours, int minAlpha) {
    return _mm256_cmpgt_epi32(_mm256_srli_epi32(colours, 24), _mm256_set1_epi32(minAlpha - 1));
}

// The lanes of the last, partial group of a run that hold pixels.
inline __m256i leadingLanes(int count) {
    return _mm256_cmpgt_epi32(_mm256_set1_epi32(count), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
}

// Writes every group of eight through blend(old, colours) -> (new, passes); the last group
// of a run is read and written through a lane mask so nothing beyond the span is touched.
template <class Blend>
inline void writeGroups(const std::uint32_t* colours, int count, std::uint32_t* destination,
                        Blend blend) {
    int i = 0;
    for (; i + lanes <= count; i += lanes) {
        const __m256i c = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(colours + i));
        auto* target = reinterpret_cast<__m256i*>(destination + i);
        _mm256_storeu_si256(target, blend(_mm256_loadu_si256(target), c));
    }
    if (i < count) {
        const __m256i inside = leadingLanes(count - i);
        // The colours may end with the span too (a saved draw's last run), so both sides are
        // read through the mask.
        const __m256i c = _mm256_maskload_epi32(reinterpret_cast<const int*>(colours + i), inside);
        auto* target = reinterpret_cast<int*>(destination + i);
        _mm256_maskstore_epi32(target, inside, blend(_mm256_maskload_epi32(target, inside), c));
    }
}

void writeReplaceAvx2(int minAlpha, const std::uint32_t* colours, int count,
                      std::uint32_t* destination) {
    const __m256i opaque = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
    writeGroups(colours, count, destination, [&](__m256i old, __m256i c) {
        return _mm256_blendv_epi8(old, _mm256_or_si256(c, opaque), passingAlpha(c, minAlpha));
    });
}

void writeAddAvx2(int minAlpha, const std::uint32_t* colours, int count,
                  std::uint32_t* destination) {
    const __m256i opaque = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
    const __m256i colourMask = _mm256_set1_epi32(0x00FFFFFF);
    writeGroups(colours, count, destination, [&](__m256i old, __m256i c) {
        const __m256i sum =
            _mm256_or_si256(_mm256_adds_epu8(old, _mm256_and_si256(c, colourMask)), opaque);
        return _mm256_blendv_epi8(old, sum, passingAlpha(c, minAlpha));
    });
}

const SpanKernels avx2Set{coordinatesAvx2, bilinearWrapAvx2, modulateFlatAvx2, writeReplaceAvx2,
                          writeAddAvx2};

} // namespace

const SpanKernels* vectorKernels() {
    return __builtin_cpu_supports("avx2") ? &avx2Set : nullptr;
}

} // namespace softgpu
