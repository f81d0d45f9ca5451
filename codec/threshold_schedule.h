// Per-tree threshold lists and skip depths, derived alike by the encoder and the decoder from
// the stored side information.
#pragma once

#include <array>
#include <cstdint>

#include "codec/codec.h"

namespace qx {

constexpr int kMaxThresholds = 32;
using ThresholdList = std::array<int32_t, kMaxThresholds>;

int BuildThresholdList(const CoefficientTables& tables, int t, int component, ThresholdList& list);
int ApplyThresholdFloor(const CodecParameters& params, const CoefficientTables& tables, int t,
                        ThresholdList& list, int n, int component);
int ChooseSkipDepth(const CoefficientTables& tables, int t, int32_t T, int n, int component);

// Runs every pass of tree t in order: the list, the extra passes of component 0 and the extra
// refinement passes. `pass(T, D)` returns a status; the first non-zero one ends the tree.
template <typename Pass>
int RunTreeSchedule(const CodecParameters& params, const CoefficientTables& tables, int t,
                    int component, Pass&& pass) {
    ThresholdList list;
    int n = BuildThresholdList(tables, t, component, list);
    if (n > 2) n = ApplyThresholdFloor(params, tables, t, list, n, component);
    int D = 0;
    for (int i = 0; i < n; ++i) {
        D = ChooseSkipDepth(tables, t, list[i], n, component);
        if (int status = pass(list[i], D)) return status;
    }
    if (component == 0 && n >= 2) {
        const int32_t mean = tables.BlockMeans[t];
        int32_t T;
        if (params.ExtraPassMinMean < mean && mean < list[n - 1] && D == 0) {
            T = mean;
        } else {
            D = 1;
            T = (list[n - 1] * 3) >> 3;
        }
        for (int k = 0; k < 3; ++k) {
            if (int status = pass(T, D)) return status;
            ++D;
            T = (T * 3) >> 2;
        }
    }
    if (params.ExtraRefinementFlag == 1 && component == 0 && n >= 1) {
        const int32_t T = (list[n - 1] * 3) >> 2;
        const int depth = ChooseSkipDepth(tables, t, T, n, component);
        if (int status = pass(T, depth)) return status;
        if (int status = pass(T >> 1, depth)) return status;
    }
    return 0;
}

}  // namespace qx
