#include "logreader/Alignment.h"

#include <algorithm>
#include <cstdint>

namespace LogReader {

std::vector<AlignmentStep> Align(size_t p_OldCount, size_t p_NewCount,
                                 const std::function<bool(size_t, size_t)>& p_Equal,
                                 size_t p_MaxCells) {
    using Kind = AlignmentStep::Kind;
    std::vector<AlignmentStep> steps;
    size_t head = 0;
    while (head < p_OldCount && head < p_NewCount && p_Equal(head, head)) {
        steps.push_back({Kind::Both, head, head});
        ++head;
    }
    size_t tail = 0;
    while (tail < p_OldCount - head && tail < p_NewCount - head &&
           p_Equal(p_OldCount - 1 - tail, p_NewCount - 1 - tail)) {
        ++tail;
    }
    const size_t rows = p_OldCount - head - tail;
    const size_t columns = p_NewCount - head - tail;
    if (rows != 0 && columns != 0 && (rows + 1) * (columns + 1) <= p_MaxCells) {
        // lengths[r][c]: the longest common subsequence of old[r..] and new[c..].
        std::vector<uint32_t> lengths((rows + 1) * (columns + 1), 0);
        auto at = [&](size_t r, size_t c) -> uint32_t& { return lengths[r * (columns + 1) + c]; };
        for (size_t r = rows; r-- > 0;) {
            for (size_t c = columns; c-- > 0;) {
                at(r, c) = p_Equal(head + r, head + c) ? at(r + 1, c + 1) + 1
                                                       : std::max(at(r + 1, c), at(r, c + 1));
            }
        }
        size_t r = 0;
        size_t c = 0;
        while (r < rows || c < columns) {
            if (r < rows && c < columns && p_Equal(head + r, head + c)) {
                steps.push_back({Kind::Both, head + r++, head + c++});
            } else if (r < rows && (c == columns || at(r + 1, c) >= at(r, c + 1))) {
                steps.push_back({Kind::OnlyOld, head + r++, 0});
            } else {
                steps.push_back({Kind::OnlyNew, 0, head + c++});
            }
        }
    } else {
        for (size_t r = 0; r < rows; ++r) {
            steps.push_back({Kind::OnlyOld, head + r, 0});
        }
        for (size_t c = 0; c < columns; ++c) {
            steps.push_back({Kind::OnlyNew, 0, head + c});
        }
    }
    for (size_t t = tail; t > 0; --t) {
        steps.push_back({Kind::Both, p_OldCount - t, p_NewCount - t});
    }
    return steps;
}

} // namespace LogReader
