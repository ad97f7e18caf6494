// The command interpreter's syntax and what its commands share: the words of a command and the
// redirections of its output streams, the console's code page, the user's policies.
#include "sim/CommandInterpreter.h"

#include "sim/CodePage.h"

namespace sim {

UINT& ConsoleCodePage() {
    static UINT codePage = 437;
    return codePage;
}

std::string CommandAnsi(const std::wstring& text) {
    return WideToCodePage(ConsoleCodePage(), text);
}

DWORD UserPolicyValue(const char* key, const char* name) {
    HKEY opened = nullptr;
    DWORD value = 0;
    DWORD size = sizeof value;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_READ, &opened) == ERROR_SUCCESS) {
        if (RegQueryValueExA(opened, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&value),
                             &size) != ERROR_SUCCESS) {
            value = 0;
        }
        RegCloseKey(opened);
    }
    return value;
}

namespace {

struct Token {
    std::wstring text;
    bool redirection = false;
};

// Words and the redirection operators ">", ">>", "1>", "1>>", "2>" and "2>>".
std::vector<Token> Tokenize(const std::wstring& line) {
    std::vector<Token> tokens;
    size_t i = 0;
    while (i < line.size()) {
        if (line[i] == L' ' || line[i] == L'\t') {
            ++i;
            continue;
        }
        bool stream =
            (line[i] == L'1' || line[i] == L'2') && i + 1 < line.size() && line[i + 1] == L'>';
        if (line[i] == L'>' || stream) {
            Token token;
            token.redirection = true;
            if (stream) {
                token.text += line[i++];
            }
            token.text += line[i++];
            if (i < line.size() && line[i] == L'>') {
                token.text += line[i++];
            }
            tokens.push_back(token);
            continue;
        }
        Token token;
        bool inQuotes = false;
        while (i < line.size() &&
               (inQuotes || (line[i] != L' ' && line[i] != L'\t' && line[i] != L'>'))) {
            if (line[i] == L'"') {
                inQuotes = !inQuotes;
            } else {
                token.text += line[i];
            }
            ++i;
        }
        tokens.push_back(token);
    }
    return tokens;
}

} // namespace

ParsedCommand ParseCommandLine(const std::wstring& line) {
    std::vector<Token> tokens = Tokenize(line);
    ParsedCommand parsed;
    for (size_t i = 0; i < tokens.size(); ++i) {
        if (!tokens[i].redirection) {
            parsed.words.push_back(tokens[i].text);
            continue;
        }
        if (i + 1 >= tokens.size() || tokens[i + 1].redirection) {
            parsed.syntaxError = true;
            return parsed;
        }
        const std::wstring& op = tokens[i].text;
        Redirection redirection;
        redirection.append = op.size() >= 2 && op.substr(op.size() - 2) == L">>";
        redirection.errorStream = op[0] == L'2';
        redirection.target = tokens[++i].text;
        parsed.redirections.push_back(redirection);
    }
    return parsed;
}

} // namespace sim
