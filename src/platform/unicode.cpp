#include "platform/unicode.h"

#include "winapi/winapi.h"

#include <vector>

namespace Utilities {

namespace {

std::string WideToCodePage(UINT codePage, DWORD flags, const Text& text) {
    if (text.empty()) {
        return "";
    }
    int length = static_cast<int>(text.size());
    int needed =
        WideCharToMultiByte(codePage, flags, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (needed <= 0 && flags != 0) {
        // Code pages such as UTF-8 take no flags.
        return WideToCodePage(codePage, 0, text);
    }
    if (needed <= 0) {
        return "";
    }
    std::string bytes(static_cast<size_t>(needed), '\0');
    WideCharToMultiByte(codePage, flags, text.data(), length, &bytes[0], needed, nullptr, nullptr);
    return bytes;
}

Text CodePageToWide(UINT codePage, const std::string& bytes) {
    if (bytes.empty()) {
        return L"";
    }
    int length = static_cast<int>(bytes.size());
    int needed = MultiByteToWideChar(codePage, 0, bytes.data(), length, nullptr, 0);
    if (needed <= 0) {
        return L"";
    }
    Text text(static_cast<size_t>(needed), L'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), length, &text[0], needed);
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
