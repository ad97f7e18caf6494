// Tests of all the lanes of a 64-bit word at once: its eight bytes, or its four 16-bit units. A
// lane equal to c leaves a zero lane in x ^ c, which the borrow of subtracting one from each lane
// finds; the test tells whether any lane matches, not which.
#pragma once

#include <cstdint>
#include <cstring>

namespace sim {

template <unsigned LaneBits> struct WordLanes {
    static_assert(LaneBits == 8 || LaneBits == 16, "lanes of 8 or 16 bits");
    static constexpr uint64_t kOnes = LaneBits == 8 ? 0x0101010101010101ULL : 0x0001000100010001ULL;
    static constexpr uint64_t kHighs = kOnes << (LaneBits - 1);

    // The word of the eight bytes at data, in the host's byte order.
    static uint64_t Load(const char* data) {
        uint64_t word = 0;
        std::memcpy(&word, data, sizeof word);
        return word;
    }
    static bool AnyZero(uint64_t word) { return ((word - kOnes) & ~word & kHighs) != 0; }
    static bool AnyEqual(uint64_t word, unsigned lane) {
        return AnyZero(word ^ (kOnes * static_cast<uint64_t>(lane)));
    }
};

} // namespace sim
