// Version text parsing, the whole-number test, the text-to-Boolean conversion and the
// splitting of delimited lists on any text. Only the errors they document may escape.
#include "FuzzInput.h"

#include <cstring>

#include "platform/boolean.h"
#include "platform/error.h"
#include "platform/versions.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::InputReader input(data, size);
    int32_t bounds[2];
    for (int32_t& bound : bounds) {
        std::string bytes = input.Bytes(4);
        bytes.resize(4, '\0');
        std::memcpy(&bound, bytes.data(), 4);
    }
    Text delimiter = Utilities::FromAnsi(input.Piece());
    Text text = input.WideRest();

    int32_t parts[4] = {};
    if (Utilities::ParseVersion(text, parts[0], parts[1], parts[2], parts[3]) &&
        (parts[0] < 1 || parts[0] > 9999)) {
        __builtin_trap();
    }
    try {
        bool whole = Utilities::IsWholeNumberInRange(text, bounds[0], bounds[1]);
        double value = 0;
        if (whole &&
            (!Utilities::ParseNumber(text, value) || value < bounds[0] || value > bounds[1])) {
            __builtin_trap();
        }
    } catch (const ZPError&) {
        // Crossed bounds.
    }
    try {
        Utilities::TextToBoolean(text);
    } catch (const ZPError&) {
        // Type mismatch.
    }
    try {
        // Each cut takes at least one character or empties the text: the loop ends.
        Text rest = text;
        size_t cuts = 0;
        while (!rest.empty()) {
            size_t before = rest.size();
            Utilities::GetNextSubString(rest, delimiter);
            if (rest.size() >= before || ++cuts > text.size()) {
                __builtin_trap();
            }
        }
    } catch (const ZPError&) {
        // An empty delimiter.
    }
    return 0;
}
