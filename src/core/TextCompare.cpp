#include "core/TextCompare.h"

#include <QChar>
#include <QVarLengthArray>

#include <array>

#if defined(__SSE2__)
#include <immintrin.h>
#endif

namespace varnel {

namespace {

using FoldTable = std::array<char16_t, 0x10000>;

// The other-width form a unit is compared as: the ideographic space, the full-width ASCII forms and the
// full-width signs (U+FFE0..U+FFE6) fold to their ordinary forms, the half-width katakana and Hangul
// letters (U+FF61..U+FFDC) to their full-width letters. Only where Unicode maps the unit to one single
// unit, so a fold never changes a text's length. Any other unit is itself.
char16_t widthFolded(char16_t unit)
{
    const bool wide = unit == 0x3000 || (unit >= 0xFF01 && unit <= 0xFF5E) || (unit >= 0xFFE0 && unit <= 0xFFE6);
    const bool narrow = unit >= 0xFF61 && unit <= 0xFFDC;
    if (!wide && !narrow)
        return unit;
    if (QChar::decompositionTag(unit) != (wide ? QChar::Wide : QChar::Narrow))
        return unit;
    const QString decomposed = QChar::decomposition(unit);
    return decomposed.size() == 1 ? decomposed.front().unicode() : unit;
}

// The folded form of every code unit, built once: searches fold one unit per table lookup.
const FoldTable& foldTable()
{
    static const FoldTable table = [] {
        FoldTable t{};
        for (char32_t u = 0; u < 0x10000; ++u) {
            t[u] = QChar::toLower(widthFolded(static_cast<char16_t>(u)));
        }
        return t;
    }();
    return table;
}

bool middleMatches(const char16_t* at, const char16_t* needle, qsizetype len)
{
    for (qsizetype k = 1; k < len - 1; ++k)
        if (at[k] != needle[k])
            return false;
    return true;
}

// Exact search of a needle of at least two units. Candidates are the positions where both the first
// and the last unit of the needle match, tested a vector at a time; only those are compared in full.
qsizetype findUnitsScalar(const char16_t* hay, qsizetype hayLen, const char16_t* needle, qsizetype len, qsizetype i)
{
    const qsizetype lastStart = hayLen - len;
    for (; i <= lastStart; ++i)
        if (hay[i] == needle[0] && hay[i + len - 1] == needle[len - 1] && middleMatches(hay + i, needle, len))
            return i;
    return -1;
}

#if defined(__SSE2__)
qsizetype findUnitsSse2(const char16_t* hay, qsizetype hayLen, const char16_t* needle, qsizetype len, qsizetype i)
{
    const qsizetype lastStart = hayLen - len;
    const __m128i first = _mm_set1_epi16(static_cast<short>(needle[0]));
    const __m128i last = _mm_set1_epi16(static_cast<short>(needle[len - 1]));
    for (; i + 7 <= lastStart; i += 8) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(hay + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(hay + i + len - 1));
        const __m128i eq = _mm_and_si128(_mm_cmpeq_epi16(a, first), _mm_cmpeq_epi16(b, last));
        // Two mask bits per unit; keep the even one.
        for (unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(eq)) & 0x5555u; mask; mask &= mask - 1) {
            const qsizetype at = i + __builtin_ctz(mask) / 2;
            if (middleMatches(hay + at, needle, len))
                return at;
        }
    }
    return findUnitsScalar(hay, hayLen, needle, len, i);
}
#endif

#if defined(__x86_64__) && defined(__GNUC__)
#define VARNEL_HAVE_AVX2 1
__attribute__((target("avx2"))) qsizetype findUnitsAvx2(const char16_t* hay, qsizetype hayLen,
                                                        const char16_t* needle, qsizetype len, qsizetype i)
{
    const qsizetype lastStart = hayLen - len;
    const __m256i first = _mm256_set1_epi16(static_cast<short>(needle[0]));
    const __m256i last = _mm256_set1_epi16(static_cast<short>(needle[len - 1]));
    for (; i + 15 <= lastStart; i += 16) {
        const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(hay + i));
        const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(hay + i + len - 1));
        const __m256i eq = _mm256_and_si256(_mm256_cmpeq_epi16(a, first), _mm256_cmpeq_epi16(b, last));
        for (unsigned mask = static_cast<unsigned>(_mm256_movemask_epi8(eq)) & 0x55555555u; mask; mask &= mask - 1) {
            const qsizetype at = i + __builtin_ctz(mask) / 2;
            if (middleMatches(hay + at, needle, len))
                return at;
        }
    }
    return findUnitsSse2(hay, hayLen, needle, len, i);
}
#endif

qsizetype findUnits(const char16_t* hay, qsizetype hayLen, const char16_t* needle, qsizetype len, qsizetype from)
{
#if defined(VARNEL_HAVE_AVX2)
    static const bool avx2 = __builtin_cpu_supports("avx2");
    if (avx2)
        return findUnitsAvx2(hay, hayLen, needle, len, from);
#endif
#if defined(__SSE2__)
    return findUnitsSse2(hay, hayLen, needle, len, from);
#else
    return findUnitsScalar(hay, hayLen, needle, len, from);
#endif
}

} // namespace

char16_t foldUnit(char16_t unit)
{
    return foldTable()[unit];
}

qsizetype findText(QStringView haystack, QStringView needle, qsizetype from, CompareMode mode)
{
    const qsizetype len = needle.size();
    if (len == 0)
        return -1;
    if (from < 0)
        from = 0;
    if (from > haystack.size() - len)
        return -1;
    if (mode == CompareMode::Binary) {
        if (len == 1)
            return haystack.indexOf(needle.front(), from);
        return findUnits(haystack.utf16(), haystack.size(), needle.utf16(), len, from);
    }

    const FoldTable& table = foldTable();
    QVarLengthArray<char16_t, 64> folded(len);
    for (qsizetype k = 0; k < len; ++k)
        folded[k] = table[needle[k].unicode()];
    const char16_t* hay = haystack.utf16();
    const qsizetype lastStart = haystack.size() - len;
    for (qsizetype i = from; i <= lastStart; ++i) {
        if (table[hay[i]] != folded[0])
            continue;
        qsizetype k = 1;
        while (k < len && table[hay[i + k]] == folded[k])
            ++k;
        if (k == len)
            return i;
    }
    return -1;
}

bool textEquals(QStringView a, QStringView b, CompareMode mode)
{
    if (a.size() != b.size())
        return false;
    if (mode == CompareMode::Binary)
        return a == b;
    const FoldTable& table = foldTable();
    for (qsizetype i = 0; i < a.size(); ++i)
        if (table[a[i].unicode()] != table[b[i].unicode()])
            return false;
    return true;
}

QString foldText(QStringView text)
{
    const FoldTable& table = foldTable();
    QString folded(text.size(), Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(folded.data());
    const char16_t* in = text.utf16();
    for (qsizetype i = 0; i < text.size(); ++i)
        out[i] = table[in[i]];
    return folded;
}

} // namespace varnel
