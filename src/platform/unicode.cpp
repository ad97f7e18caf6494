#include "platform/unicode.h"

#include "winapi/winapi.h"

#include <climits>

namespace Utilities {

namespace {

// No code page makes more than four bytes of one UTF-16 unit (or one character where wchar_t holds
// whole characters), nor more than one unit of one byte: a conversion into room for that many is
// made in one call, without asking for the size first.
const size_t kMostBytesPerUnit = 4;

std::string WideToCodePage(UINT codePage, DWORD flags, const Text& text) {
    if (text.empty() || text.size() > static_cast<size_t>(INT_MAX) / kMostBytesPerUnit) {
        return "";
    }
    int length = static_cast<int>(text.size());
    std::string bytes(text.size() * kMostBytesPerUnit, '\0');
    int written = WideCharToMultiByte(codePage, flags, text.data(), length, &bytes[0],
                                      static_cast<int>(bytes.size()), nullptr, nullptr);
    if (written <= 0 && flags != 0) {
        // Code pages such as UTF-8 take no flags.
        return WideToCodePage(codePage, 0, text);
    }
    bytes.resize(written > 0 ? static_cast<size_t>(written) : 0);
    return bytes;
}

Text CodePageToWide(UINT codePage, const std::string& bytes) {
    if (bytes.empty() || bytes.size() > static_cast<size_t>(INT_MAX)) {
        return L"";
    }
    int length = static_cast<int>(bytes.size());
    Text text(bytes.size(), L'\0');
    int written = MultiByteToWideChar(codePage, 0, bytes.data(), length, &text[0], length);
    text.resize(written > 0 ? static_cast<size_t>(written) : 0);
    return text;
}

} // namespace

std::string ToAnsi(const Text& text) {
    return WideToCodePage(CP_ACP, WC_NO_BEST_FIT_CHARS, text);
}

Text FromAnsi(const std::string& bytes) {
    return CodePageToWide(CP_ACP, bytes);
}

std::string ToUtf8(const Text& text) {
    return WideToCodePage(CP_UTF8, 0, text);
}

Text FromUtf8(const std::string& bytes) {
    return CodePageToWide(CP_UTF8, bytes);
}

Text ToUpper(Text text) {
    if (!text.empty()) {
        CharUpperBuffW(&text[0], static_cast<DWORD>(text.size()));
    }
    return text;
}

Text Trim(const Text& text) {
    size_t first = text.find_first_not_of(L' ');
    if (first == Text::npos) {
        return L"";
    }
    size_t last = text.find_last_not_of(L' ');
    return text.substr(first, last - first + 1);
}

} // namespace Utilities
