#include "skin/core/SkinKernels.h"

#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#include <emmintrin.h>
#include <immintrin.h>
#include <mmintrin.h>
#define TARNELLO_X86 1
#endif

namespace {

inline TspColor AlphaOf(TspColor c) { return c >> 24; }

void CopyRowSkipKeyImpl(const TspColor* Src, TspColor* Dst, int Count)
{
    for (int i = 0; i < Count; ++i) {
        const TspColor s = Src[i];
        if ((s & 0xFFFFFF) != spKeyColor)
            Dst[i] = s | 0xFF000000u;
    }
}

void CopyRowImpl(const TspColor* Src, TspColor* Dst, int Count)
{
    if (Count <= 0 || Src == Dst)
        return;
    std::memcpy(Dst, Src, static_cast<std::size_t>(Count) * sizeof(TspColor));
}

void FillRowImpl(TspColor* Dst, int Count, TspColor Color)
{
    for (int i = 0; i < Count; ++i)
        Dst[i] = Color;
}

void FillRectPixelsImpl(TspColor* Bits, int RowWidth, int, TspColor Color, int Bottom, int Right, int Top, int Left)
{
    if (Right < Left || Bottom < Top)
        return;
    for (int y = Top; y <= Bottom; ++y)
        FillRowImpl(Bits + static_cast<std::ptrdiff_t>(y) * RowWidth + Left, Right - Left + 1, Color);
}

void SetAlphaRowImpl(TspColor* Dst, int Count, Byte Alpha)
{
    const TspColor a = static_cast<TspColor>(Alpha) << 24;
    for (int i = 0; i < Count; ++i)
        Dst[i] = (Dst[i] & 0xFFFFFF) | a;
}

void SetAlphaRectImpl(TspColor* Bits, int RowWidth, int, Byte Alpha, int Bottom, int Right, int Top, int Left)
{
    if (Right < Left || Bottom < Top)
        return;
    for (int y = Top; y <= Bottom; ++y)
        SetAlphaRowImpl(Bits + static_cast<std::ptrdiff_t>(y) * RowWidth + Left, Right - Left + 1, Alpha);
}

void ClearKeyAlphaImpl(TspColor* Dst, int Count, TspColor Key)
{
    const TspColor k = Key & 0xFFFFFF;
    for (int i = 0; i < Count; ++i)
        if ((Dst[i] & 0xFFFFFF) == k)
            Dst[i] &= 0xFFFFFF;
}

constexpr TRowKernels MakeKernels(bool mmx)
{
    return TRowKernels{mmx ? MMXBlendPixel : PlainBlendPixel,
                       mmx ? MMXBlendRow : PlainBlendRow,
                       CopyRowSkipKeyImpl,
                       CopyRowImpl,
                       FillRowImpl,
                       FillRectPixelsImpl,
                       SetAlphaRowImpl,
                       SetAlphaRectImpl,
                       ClearKeyAlphaImpl};
}

// One lane of the vector formula: (B * 256 + (F - B) * a) shr 8, which stays
// inside 0..255 for every a.
inline TspColor MMXLane(TspColor f, TspColor b, TspColor a)
{
    return ((b << 8) + (f - b) * a) >> 8 & 0xFF;
}

}  // namespace

TRowKernels RowKernels = MakeKernels(false);
bool UseMMX = false;

TspColor PlainBlendPixel(TspColor Fore, TspColor Back)
{
    const TspColor a = AlphaOf(Fore);
    if (a == 255)
        return Fore;
    if (a == 0)
        return Back;
    const TspColor na = 255 - a;
    const TspColor r = (((Fore >> 16) & 0xFF) * a + ((Back >> 16) & 0xFF) * na) >> 8;
    const TspColor g = (((Fore >> 8) & 0xFF) * a + ((Back >> 8) & 0xFF) * na) >> 8;
    const TspColor b = ((Fore & 0xFF) * a + (Back & 0xFF) * na) >> 8;
    return 0xFF000000u | (r << 16) | (g << 8) | b;
}

void PlainBlendRow(const TspColor* Src, TspColor* Dst, int Count)
{
    // Branch-free so that the compiler can vectorise it: the blend is
    // computed for every pixel and the two end alphas pick their own result.
    for (int i = 0; i < Count; ++i) {
        const TspColor s = Src[i], d = Dst[i];
        const TspColor a = AlphaOf(s), na = 255 - a;
        const TspColor rb = (((s >> 16) & 0xFF) * a + ((d >> 16) & 0xFF) * na) >> 8 << 16 |
                            (((s & 0xFF) * a + (d & 0xFF) * na) >> 8);
        const TspColor g = ((((s >> 8) & 0xFF) * a + ((d >> 8) & 0xFF) * na) >> 8) << 8;
        const TspColor blended = 0xFF000000u | rb | g;
        const TspColor keep = a == 0 ? d : blended;
        Dst[i] = a == 255 ? s : keep;
    }
}

TspColor MMXBlendPixel(TspColor Fore, TspColor Back)
{
    const TspColor a = AlphaOf(Fore);
    TspColor r = 0;
    for (int shift = 0; shift < 32; shift += 8)
        r |= MMXLane((Fore >> shift) & 0xFF, (Back >> shift) & 0xFF, a) << shift;
    return r;
}

#ifdef TARNELLO_X86
namespace {

// Eight pixels at a time where the processor has 256-bit integer vectors;
// the same lane arithmetic as below, so the results are identical.
__attribute__((target("avx2"))) int BlendRowWide(const TspColor* Src, TspColor* Dst, int Count)
{
    int i = 0;
    const __m256i zero = _mm256_setzero_si256();
    const __m256i alphaMask = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
    for (; i + 8 <= Count; i += 8) {
        const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(Src + i));
        const __m256i alphaBits = _mm256_and_si256(s, alphaMask);
        if (_mm256_testz_si256(alphaBits, alphaBits))
            continue;
        const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(Dst + i));
        __m256i a = _mm256_srli_epi32(s, 24);
        a = _mm256_or_si256(a, _mm256_slli_epi32(a, 16));
        const __m256i aLo = _mm256_unpacklo_epi32(a, a), aHi = _mm256_unpackhi_epi32(a, a);
        const __m256i sLo = _mm256_unpacklo_epi8(s, zero), sHi = _mm256_unpackhi_epi8(s, zero);
        const __m256i dLo = _mm256_unpacklo_epi8(d, zero), dHi = _mm256_unpackhi_epi8(d, zero);
        __m256i rLo = _mm256_add_epi16(_mm256_slli_epi16(dLo, 8), _mm256_mullo_epi16(_mm256_sub_epi16(sLo, dLo), aLo));
        __m256i rHi = _mm256_add_epi16(_mm256_slli_epi16(dHi, 8), _mm256_mullo_epi16(_mm256_sub_epi16(sHi, dHi), aHi));
        __m256i r = _mm256_packus_epi16(_mm256_srli_epi16(rLo, 8), _mm256_srli_epi16(rHi, 8));
        // Alpha 255 copies the source; at alpha 0 the formula gives the
        // destination exactly.
        r = _mm256_blendv_epi8(r, s, _mm256_cmpeq_epi32(alphaBits, alphaMask));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(Dst + i), r);
    }
    return i;
}

const bool GHasWideVectors = [] {
    __builtin_cpu_init();  // may run before the run time's own start-up
    return __builtin_cpu_supports("avx2") != 0;
}();

}  // namespace
#endif

void MMXBlendRow(const TspColor* Src, TspColor* Dst, int Count)
{
    int i = 0;
#ifdef TARNELLO_X86
    if (GHasWideVectors)
        i = BlendRowWide(Src, Dst, Count);
    // Four pixels at a time in 16-bit lanes; the lane arithmetic wraps mod
    // 2^16 exactly as the formula needs (its true value fits 16 bits).
    const __m128i zero = _mm_setzero_si128();
    const __m128i alphaMask = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    for (; i + 4 <= Count; i += 4) {
        const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Src + i));
        const __m128i alphaBits = _mm_and_si128(s, alphaMask);
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(alphaBits, zero)) == 0xFFFF)
            continue;
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Dst + i));
        // Alpha of each pixel broadcast to its four lanes.
        __m128i a = _mm_srli_epi32(s, 24);
        a = _mm_or_si128(a, _mm_slli_epi32(a, 16));
        const __m128i aLo = _mm_unpacklo_epi32(a, a);
        const __m128i aHi = _mm_unpackhi_epi32(a, a);
        const __m128i sLo = _mm_unpacklo_epi8(s, zero), sHi = _mm_unpackhi_epi8(s, zero);
        const __m128i dLo = _mm_unpacklo_epi8(d, zero), dHi = _mm_unpackhi_epi8(d, zero);
        __m128i rLo = _mm_add_epi16(_mm_slli_epi16(dLo, 8), _mm_mullo_epi16(_mm_sub_epi16(sLo, dLo), aLo));
        __m128i rHi = _mm_add_epi16(_mm_slli_epi16(dHi, 8), _mm_mullo_epi16(_mm_sub_epi16(sHi, dHi), aHi));
        __m128i r = _mm_packus_epi16(_mm_srli_epi16(rLo, 8), _mm_srli_epi16(rHi, 8));
        // Alpha 255 copies the source; at alpha 0 the formula gives the
        // destination exactly.
        const __m128i opaque = _mm_cmpeq_epi32(alphaBits, alphaMask);
        r = _mm_or_si128(_mm_and_si128(opaque, s), _mm_andnot_si128(opaque, r));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(Dst + i), r);
    }
#endif
    for (; i < Count; ++i) {
        const TspColor s = Src[i];
        const TspColor a = AlphaOf(s);
        if (a == 0)
            continue;
        Dst[i] = a == 255 ? s : MMXBlendPixel(s, Dst[i]);
    }
}

bool HasMMX()
{
#ifdef TARNELLO_X86
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx))
        return false;
    const unsigned family = (eax >> 8) & 0xF;
    return family >= 5 && (edx & (1u << 23)) != 0;
#else
    return false;
#endif
}

void SelectRowKernels(bool mmx)
{
    UseMMX = mmx;
    RowKernels = MakeKernels(mmx);
}

void InitRowKernels() { SelectRowKernels(HasMMX()); }

void ClearMMXState()
{
#ifdef TARNELLO_X86
    if (UseMMX)
        _mm_empty();
#endif
}

// The bitmap unit's start runs once, before main, through this object, which
// every user of the kernels links.
void SkinBitmapUnitStart();
namespace {
struct TUnitStart {
    TUnitStart() { SkinBitmapUnitStart(); }
} GUnitStart;
}  // namespace
