// A small reader of REGEDIT5 files (UTF-16LE with a byte-order mark, CR LF line ends) for the
// export round trip: the keys in file order with their values as raw data.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace fuzz {

struct Regedit5Value {
    std::wstring name;
    uint32_t type = 0;
    // The text of a string value; the raw bytes of every other type.
    std::wstring text;
    std::string data;
};

struct Regedit5Key {
    std::wstring path;
    std::vector<Regedit5Value> values;
};

// False, with what went wrong in `error`, when the bytes are no well-formed REGEDIT5 file.
bool ReadRegedit5(const std::string& bytes, std::vector<Regedit5Key>& keys, std::string& error);

} // namespace fuzz
