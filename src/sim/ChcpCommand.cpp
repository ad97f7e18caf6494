// `chcp [N]`: shows or sets the console's code page, in which the commands write their text.
#include "sim/CodePage.h"
#include "sim/CommandInterpreter.h"

#include <cwctype>

namespace sim {

DWORD ChcpCommand(const std::vector<std::wstring>& arguments, const CommandStreams& streams) {
    if (arguments.size() > 1) {
        streams.writeError("Parameter format not correct - " + CommandAnsi(arguments[1]) + "\r\n");
        return 1;
    }
    if (!arguments.empty()) {
        const std::wstring& number = arguments[0];
        bool digits = !number.empty() && number.size() <= 5;
        for (wchar_t c : number) {
            digits = digits && std::iswdigit(c);
        }
        UINT codePage = digits ? static_cast<UINT>(std::stoul(number)) : 0;
        if (codePage == 0 || !IsKnownCodePage(codePage)) {
            streams.writeError("Invalid code page\r\n");
            return 1;
        }
        ConsoleCodePage() = codePage;
    }
    streams.writeOutput("Active code page: " + std::to_string(ConsoleCodePage()) + "\r\n");
    return 0;
}

} // namespace sim
