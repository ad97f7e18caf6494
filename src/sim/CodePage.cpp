#include "sim/CodePage.h"

#include <cerrno>
#include <iconv.h>
#include <vector>

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

// One iconv conversion descriptor, closed on every path.
class Converter {
public:
    Converter(const std::string& to, const std::string& from)
        : m_Handle(iconv_open(to.c_str(), from.c_str())) {}
    ~Converter() {
        if (IsOpen()) {
            iconv_close(m_Handle);
        }
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool IsOpen() const { return m_Handle != reinterpret_cast<iconv_t>(-1); }

    // Converts as much as it can; returns false at an input it cannot convert and leaves
    // `in` and `inLeft` at that input.
    bool Convert(char*& in, size_t& inLeft, std::string& out) {
        char buffer[4096];
        while (inLeft > 0) {
            char* outPtr = buffer;
            size_t outLeft = sizeof buffer;
            size_t result = iconv(m_Handle, &in, &inLeft, &outPtr, &outLeft);
            out.append(buffer, static_cast<size_t>(outPtr - buffer));
            if (result == static_cast<size_t>(-1) && errno != E2BIG) {
                iconv(m_Handle, nullptr, nullptr, nullptr, nullptr);
                return false;
            }
        }
        return true;
    }

private:
    iconv_t m_Handle;
};

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

std::wstring BytesToWide(const std::string& bytes) {
    std::wstring wide(bytes.size() / sizeof(wchar_t), L'\0');
    for (size_t i = 0; i < wide.size(); ++i) {
        wchar_t c;
        bytes.copy(reinterpret_cast<char*>(&c), sizeof c, i * sizeof c);
        wide[i] = c;
    }
    return wide;
}

} // namespace

std::wstring CodePageToWide(unsigned codePage, const std::string& bytes) {
    if (IsAsciiCompatible(codePage) && IsAscii(bytes)) {
        return std::wstring(bytes.begin(), bytes.end());
    }
    Converter converter("WCHAR_T", IconvName(codePage));
    std::wstring result;
    if (!converter.IsOpen()) {
        for (unsigned char c : bytes) {
            result += static_cast<wchar_t>(c);
        }
        return result;
    }
    std::vector<char> input(bytes.begin(), bytes.end());
    char* in = input.data();
    size_t inLeft = input.size();
    while (inLeft > 0) {
        std::string converted;
        bool complete = converter.Convert(in, inLeft, converted);
        result += BytesToWide(converted);
        if (!complete) {
            result += static_cast<wchar_t>(static_cast<unsigned char>(*in));
            ++in;
            --inLeft;
        }
    }
    return result;
}

std::string WideToCodePage(unsigned codePage, const std::wstring& text, char defaultChar,
                           bool* usedDefault) {
    if (usedDefault != nullptr) {
        *usedDefault = false;
    }
    if (IsAsciiCompatible(codePage) && IsAscii(text)) {
        std::string ascii(text.size(), '\0');
        for (size_t i = 0; i < text.size(); ++i) {
            ascii[i] = static_cast<char>(text[i]);
        }
        return ascii;
    }
    Converter converter(IconvName(codePage), "WCHAR_T");
    std::string result;
    std::vector<char> input(reinterpret_cast<const char*>(text.data()),
                            reinterpret_cast<const char*>(text.data() + text.size()));
    char* in = input.data();
    size_t inLeft = input.size();
    while (inLeft > 0) {
        bool complete = converter.IsOpen() && converter.Convert(in, inLeft, result);
        if (!complete) {
            wchar_t c;
            std::copy(in, in + sizeof c, reinterpret_cast<char*>(&c));
            bool fitsLatin1 = !converter.IsOpen() && c < 0x100;
            result += fitsLatin1 ? static_cast<char>(c) : defaultChar;
            if (!fitsLatin1 && usedDefault != nullptr) {
                *usedDefault = true;
            }
            in += sizeof c;
            inLeft -= sizeof c;
        }
    }
    return result;
}

std::wstring Utf8ToWide(const std::string& text) {
    return CodePageToWide(65001, text);
}

std::string WideToUtf8(const std::wstring& text) {
    return WideToCodePage(65001, text);
}

bool IsKnownCodePage(unsigned codePage) {
    Converter converter("WCHAR_T", IconvName(codePage));
    return converter.IsOpen();
}

} // namespace sim
