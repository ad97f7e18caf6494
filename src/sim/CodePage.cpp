#include "sim/CodePage.h"

#include <cerrno>
#include <cstring>
#include <iconv.h>

namespace sim {

namespace {

std::string IconvName(unsigned codePage) {
    switch (codePage) {
    case 65001:
        return "UTF-8";
    case 20127:
        return "ASCII";
    case 28591:
        return "ISO-8859-1";
    case 936:
        return "GBK";
    case 950:
        return "BIG5";
    default:
        return "CP" + std::to_string(codePage);
    }
}

// Converts bytes from one encoding to another with iconv. A unit (of unitSize bytes) that it
// cannot convert, or every unit where the host does not know the encodings, is passed over, and
// stand(unit, converterOpen, out) appends what stands for it.
template <typename Stand>
std::string Convert(const std::string& to, const std::string& from, const char* data, size_t size,
                    size_t unitSize, Stand stand) {
    iconv_t handle = iconv_open(to.c_str(), from.c_str());
    bool open = handle != reinterpret_cast<iconv_t>(-1);
    std::string out;
    char* in = const_cast<char*>(data);
    while (size > 0) {
        char buffer[4096];
        char* at = buffer;
        size_t room = sizeof buffer;
        size_t result = open ? iconv(handle, &in, &size, &at, &room) : static_cast<size_t>(-1);
        out.append(buffer, static_cast<size_t>(at - buffer));
        if (result == static_cast<size_t>(-1) && (!open || errno != E2BIG)) {
            if (open) {
                iconv(handle, nullptr, nullptr, nullptr, nullptr);
            }
            stand(in, open, out);
            in += unitSize;
            size -= unitSize;
        }
    }
    if (open) {
        iconv_close(handle);
    }
    return out;
}

// The code pages that map the bytes 0-127 to the characters of ASCII (UTF-8 and Windows' ANSI
// code pages): ASCII text converts to and from them without iconv, which most names and log
// lines are.
bool IsAsciiCompatible(unsigned codePage) {
    switch (codePage) {
    case 65001:
    case 20127:
    case 28591:
    case 874:
    case 932:
    case 936:
    case 949:
    case 950:
        return true;
    default:
        return codePage >= 1250 && codePage <= 1258;
    }
}

template <typename Char> bool IsAscii(const std::basic_string<Char>& text) {
    for (Char c : text) {
        if (static_cast<unsigned long>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

} // namespace

std::wstring CodePageToWide(unsigned codePage, const std::string& bytes) {
    if (IsAsciiCompatible(codePage) && IsAscii(bytes)) {
        return std::wstring(bytes.begin(), bytes.end());
    }
    // A byte that the code page does not define stands for the character of its number.
    std::string converted = Convert("WCHAR_T", IconvName(codePage), bytes.data(), bytes.size(), 1,
                                    [](const char* unit, bool, std::string& out) {
                                        wchar_t c = static_cast<unsigned char>(*unit);
                                        out.append(reinterpret_cast<const char*>(&c), sizeof c);
                                    });
    std::wstring wide(converted.size() / sizeof(wchar_t), L'\0');
    std::memcpy(&wide[0], converted.data(), wide.size() * sizeof(wchar_t));
    return wide;
}

std::string WideToCodePage(unsigned codePage, const std::wstring& text, char defaultChar,
                           bool* usedDefault) {
    if (usedDefault != nullptr) {
        *usedDefault = false;
    }
    if (IsAsciiCompatible(codePage) && IsAscii(text)) {
        return std::string(text.begin(), text.end());
    }
    // Without a converter, Latin-1 characters stay themselves.
    return Convert(IconvName(codePage), "WCHAR_T", reinterpret_cast<const char*>(text.data()),
                   text.size() * sizeof(wchar_t), sizeof(wchar_t),
                   [&](const char* unit, bool converterOpen, std::string& out) {
                       wchar_t c;
                       std::memcpy(&c, unit, sizeof c);
                       bool fitsLatin1 = !converterOpen && c < 0x100;
                       out += fitsLatin1 ? static_cast<char>(c) : defaultChar;
                       if (!fitsLatin1 && usedDefault != nullptr) {
                           *usedDefault = true;
                       }
                   });
}

std::wstring Utf8ToWide(const std::string& text) {
    return CodePageToWide(65001, text);
}

std::string WideToUtf8(const std::wstring& text) {
    return WideToCodePage(65001, text);
}

bool IsKnownCodePage(unsigned codePage) {
    iconv_t handle = iconv_open("WCHAR_T", IconvName(codePage).c_str());
    if (handle == reinterpret_cast<iconv_t>(-1)) {
        return false;
    }
    iconv_close(handle);
    return true;
}

} // namespace sim
