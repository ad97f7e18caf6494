// The alignment of two sequences by their longest common subsequence: which items of each are
// kept, in order. Used for the sections and for the lines of the log comparison.
#pragma once

#include <cstddef>
#include <functional>
#include <vector>

namespace LogReader {

struct AlignmentStep {
    enum class Kind { Both, OnlyOld, OnlyNew } kind;
    size_t oldIndex; // valid for Both and OnlyOld
    size_t newIndex; // valid for Both and OnlyNew
};

// The steps that turn the old sequence into the new one. Equal beginnings and ends are matched
// at once; a middle larger than p_MaxCells cells of the table is taken as all removed and all
// added rather than spending quadratic memory on it.
std::vector<AlignmentStep> Align(size_t p_OldCount, size_t p_NewCount,
                                 const std::function<bool(size_t, size_t)>& p_Equal,
                                 size_t p_MaxCells = 16u << 20);

} // namespace LogReader
