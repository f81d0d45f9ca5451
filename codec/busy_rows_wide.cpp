#include "codec/busy_rows_wide.h"

#include <algorithm>

#include "codec/pixel_lanes_wide.h"

namespace qx {

QX_WIDE bool RowHasBusyWindow(const uint8_t* above, const uint8_t* middle, const uint8_t* below,
                              size_t bytes, int range) {
    if (bytes < 7) return false;
    const __m512i least = _mm512_set1_epi8(static_cast<char>(range));
    const size_t end = bytes - 3;
    for (size_t i = 3; i < end; i += 64) {
        // The lanes of a last, shorter step read nothing past the row.
        const size_t n = std::min<size_t>(64, end - i);
        const __mmask64 lanes = n == 64 ? ~__mmask64{0} : (__mmask64{1} << n) - 1;
        __m512i low = _mm512_set1_epi8(-1);
        __m512i high = _mm512_setzero_si512();
        for (const ptrdiff_t d : {-3, 0, 3}) {
            const size_t at = static_cast<size_t>(static_cast<ptrdiff_t>(i) + d);
            const __m512i a = _mm512_maskz_loadu_epi8(lanes, above + at);
            const __m512i b = _mm512_maskz_loadu_epi8(lanes, middle + at);
            const __m512i c = _mm512_maskz_loadu_epi8(lanes, below + at);
            low = _mm512_min_epu8(low, _mm512_min_epu8(a, _mm512_min_epu8(b, c)));
            high = _mm512_max_epu8(high, _mm512_max_epu8(a, _mm512_max_epu8(b, c)));
        }
        if (_mm512_mask_cmpge_epu8_mask(lanes, _mm512_sub_epi8(high, low), least) != 0) return true;
    }
    return false;
}

}  // namespace qx
