#include "sim/Ansi.h"

#include "sim/CodePage.h"
#include "sim/Machine.h"

#include <cstring>

namespace sim {

std::wstring FromAnsiArgument(LPCSTR text) {
    if (text == nullptr) {
        return L"";
    }
    return CodePageToWide(CurrentMachine().codePage, std::string(text));
}

std::string ToMachineAnsi(const std::wstring& text) {
    return WideToCodePage(CurrentMachine().codePage, text);
}

DWORD CopyOut(const std::string& text, LPSTR buffer, DWORD size) {
    DWORD length = static_cast<DWORD>(text.size());
    if (buffer == nullptr || size <= length) {
        return length + 1;
    }
    std::memcpy(buffer, text.c_str(), length + 1);
    return length;
}

} // namespace sim
