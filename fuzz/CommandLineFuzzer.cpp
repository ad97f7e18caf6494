// The command interpreter's reading of `cmd /c` lines on any text: the outer-quote rule, the
// words and the redirections. No command is run and no file is opened.
#include "FuzzInput.h"

#include "sim/CommandInterpreter.h"
#include "sim/Machine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool installed = [] {
        sim::InstallMachine(sim::Machine::Empty());
        return true;
    }();
    (void)installed;
    fuzz::InputReader input(data, size);
    std::wstring line = sim::StripOuterQuotes(input.WideRest());
    sim::ParsedCommand parsed = sim::ParseCommandLine(line);
    bool quotes = line.find(L'"') != std::wstring::npos;
    for (const std::wstring& word : parsed.words) {
        // Quotes group and are removed; outside them blanks and '>' end a word.
        if (word.find(L'"') != std::wstring::npos ||
            (!quotes && word.find_first_of(L" \t>") != std::wstring::npos)) {
            __builtin_trap();
        }
    }
    for (const sim::Redirection& redirection : parsed.redirections) {
        if (redirection.target.find(L'"') != std::wstring::npos) {
            __builtin_trap();
        }
    }
    return 0;
}
