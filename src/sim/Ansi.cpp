#include "sim/Ansi.h"

#include "sim/CodePage.h"
#include "sim/Machine.h"

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

} // namespace sim
