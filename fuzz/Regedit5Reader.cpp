#include "Regedit5Reader.h"

#include "sim/Registry.h"

namespace fuzz {

namespace {

const uint32_t kRegSz = 1;
const uint32_t kRegDword = 4;
const uint32_t kRegBinary = 3;

// A quoted text with \\, \", \r and \n escaped, from the opening quote at `at`; `at` ends
// after the closing quote.
bool Quoted(const std::wstring& line, size_t& at, std::wstring& text) {
    if (at >= line.size() || line[at] != L'"') {
        return false;
    }
    for (++at; at < line.size(); ++at) {
        wchar_t c = line[at];
        if (c == L'"') {
            ++at;
            return true;
        }
        if (c == L'\\') {
            if (++at >= line.size()) {
                return false;
            }
            switch (line[at]) {
            case L'\\':
                text += L'\\';
                break;
            case L'"':
                text += L'"';
                break;
            case L'r':
                text += L'\r';
                break;
            case L'n':
                text += L'\n';
                break;
            default:
                return false;
            }
        } else {
            text += c;
        }
    }
    return false;
}

int HexDigit(wchar_t c) {
    if (c >= L'0' && c <= L'9') {
        return c - L'0';
    }
    if (c >= L'a' && c <= L'f') {
        return c - L'a' + 10;
    }
    return -1;
}

// "xx,xx,...": pairs of lower-case digits, a backslash before a line break and two blanks.
bool HexBytes(const std::vector<std::wstring>& lines, size_t& index, size_t at, std::string& data) {
    const std::wstring* line = &lines[index];
    while (at < line->size()) {
        if ((*line)[at] == L'\\' && at + 1 == line->size()) {
            if (++index >= lines.size() || lines[index].compare(0, 2, L"  ") != 0) {
                return false;
            }
            line = &lines[index];
            at = 2;
            continue;
        }
        if (at + 1 >= line->size() || HexDigit((*line)[at]) < 0 || HexDigit((*line)[at + 1]) < 0) {
            return false;
        }
        data += static_cast<char>(HexDigit((*line)[at]) * 16 + HexDigit((*line)[at + 1]));
        at += 2;
        if (at < line->size() && (*line)[at] == L',') {
            ++at;
            if (at == line->size()) {
                return false;
            }
        } else if (at != line->size()) {
            return false;
        }
    }
    return true;
}

bool Value(const std::vector<std::wstring>& lines, size_t& index, Regedit5Value& value) {
    const std::wstring& line = lines[index];
    size_t at = 0;
    if (line.compare(0, 2, L"@=") == 0) {
        at = 2;
    } else if (!Quoted(line, at, value.name) || at >= line.size() || line[at++] != L'=') {
        return false;
    }
    std::wstring data = line.substr(at);
    if (!data.empty() && data[0] == L'"') {
        value.type = kRegSz;
        size_t end = 0;
        return Quoted(data, end, value.text) && end == data.size();
    }
    if (data.compare(0, 6, L"dword:") == 0 && data.size() == 14) {
        value.type = kRegDword;
        uint32_t number = 0;
        for (size_t i = 6; i < 14; ++i) {
            int digit = HexDigit(data[i]);
            if (digit < 0) {
                return false;
            }
            number = number * 16 + static_cast<uint32_t>(digit);
        }
        for (int i = 0; i < 4; ++i) {
            value.data += static_cast<char>((number >> (8 * i)) & 0xff);
        }
        return true;
    }
    if (data.compare(0, 4, L"hex:") == 0) {
        value.type = kRegBinary;
        return HexBytes(lines, index, at + 4, value.data);
    }
    if (data.compare(0, 4, L"hex(") == 0) {
        size_t close = data.find(L"):");
        if (close == std::wstring::npos || close == 4 || close > 12) {
            return false;
        }
        for (size_t i = 4; i < close; ++i) {
            int digit = HexDigit(data[i]);
            if (digit < 0) {
                return false;
            }
            value.type = value.type * 16 + static_cast<uint32_t>(digit);
        }
        return HexBytes(lines, index, at + close + 2, value.data);
    }
    return false;
}

} // namespace

bool ReadRegedit5(const std::string& bytes, std::vector<Regedit5Key>& keys, std::string& error) {
    if (bytes.size() % 2 != 0 || bytes.compare(0, 2, "\xFF\xFE") != 0) {
        error = "no UTF-16LE byte-order mark, or an odd length";
        return false;
    }
    std::wstring text = sim::FromUtf16Le(bytes.substr(2));
    std::vector<std::wstring> lines;
    size_t start = 0;
    for (size_t end; (end = text.find(L"\r\n", start)) != std::wstring::npos; start = end + 2) {
        lines.push_back(text.substr(start, end - start));
    }
    if (start != text.size() || lines.empty() ||
        lines[0] != L"Windows Registry Editor Version 5.00") {
        error = "no header, or a last line without CR LF";
        return false;
    }
    for (size_t index = 1; index < lines.size(); ++index) {
        const std::wstring& line = lines[index];
        if (line.empty()) {
            continue;
        }
        if (line[0] == L'[' && line.back() == L']') {
            keys.push_back({line.substr(1, line.size() - 2), {}});
            continue;
        }
        Regedit5Value value;
        if (keys.empty() || !Value(lines, index, value)) {
            error = "line " + std::to_string(index + 1) + " is no key and no value";
            return false;
        }
        keys.back().values.push_back(value);
    }
    return true;
}

} // namespace fuzz
