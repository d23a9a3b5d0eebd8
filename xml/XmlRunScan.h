// Finding where a run of character data or of a quoted value ends. Runs are
// scanned 16 bytes at a time with SSE2: always where the compiler targets it, and
// in the 32-bit x86 build (which targets processors without it) when the
// processor has it, as checked once when the library is loaded.
#pragma once

#if defined(__SSE2__)
#define TOLVEX_RUN_SCAN_SSE2 1
#elif defined(__i386__) && defined(__GNUC__)
#define TOLVEX_RUN_SCAN_SSE2 1
#define TOLVEX_RUN_SCAN_SSE2_CHECKED 1
#endif

#if defined(TOLVEX_RUN_SCAN_SSE2)
#include <emmintrin.h>
#endif

namespace TolvexXml {

namespace RunScan {

#if defined(TOLVEX_RUN_SCAN_SSE2_CHECKED)
// Whether the processor has SSE2; fixed when the library is loaded.
extern const bool ProcessorHasSse2;
#define TOLVEX_RUN_SCAN_TARGET [[gnu::target("sse2")]]
#else
#define TOLVEX_RUN_SCAN_TARGET
#endif

#if defined(TOLVEX_RUN_SCAN_SSE2)
// The first of stop, "<" and "&" in the whole 16-byte groups from p on; null when
// they hold none, with p moved to where fewer than 16 bytes are left.
TOLVEX_RUN_SCAN_TARGET inline const char* FindInGroups(const char*& p, const char* end, char stop) {
    // Spread from a 32-bit register: the compiler builds _mm_set1_epi8 of a byte
    // by storing it and loading a word, and that load waits out the store.
    const __m128i stops = _mm_set1_epi32(static_cast<int>(static_cast<unsigned char>(stop) * 0x01010101u));
    const __m128i tagOpens = _mm_set1_epi8('<');
    const __m128i references = _mm_set1_epi8('&');
    for (; end - p >= 16; p += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i hits = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(bytes, stops), _mm_cmpeq_epi8(bytes, tagOpens)),
                                          _mm_cmpeq_epi8(bytes, references));
        if (const int mask = _mm_movemask_epi8(hits)) return p + __builtin_ctz(static_cast<unsigned>(mask));
    }
    return nullptr;
}
#endif

}  // namespace RunScan

// The first byte in [p, end) that ends a run of character data or of a quoted
// value: stop (the quote, or "<" for character data), "<" or "&"; end when none.
inline const char* FindRunEnd(const char* p, const char* end, char stop) {
#if defined(TOLVEX_RUN_SCAN_SSE2_CHECKED)
    if (RunScan::ProcessorHasSse2)
        if (const char* found = RunScan::FindInGroups(p, end, stop)) return found;
#elif defined(TOLVEX_RUN_SCAN_SSE2)
    if (const char* found = RunScan::FindInGroups(p, end, stop)) return found;
#endif
    while (p != end && *p != stop && *p != '<' && *p != '&') ++p;
    return p;
}

}  // namespace TolvexXml
