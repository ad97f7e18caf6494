#include "platform/boolean.h"

#include "platform/error.h"

#include <cwctype>

namespace Utilities {

namespace {

bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t';
}

bool IsDigit(wchar_t c) {
    return c >= L'0' && c <= L'9';
}

// Whether "&H..." or "&O..." holds digits of its base only; `nonZero` tells whether any is not 0.
bool ParseRadixNumber(const Text& text, bool& nonZero) {
    if (text.size() < 3 || text[0] != L'&') {
        return false;
    }
    wchar_t radix = static_cast<wchar_t>(std::towupper(text[1]));
    if (radix != L'H' && radix != L'O') {
        return false;
    }
    nonZero = false;
    for (size_t i = 2; i < text.size(); ++i) {
        wchar_t c = static_cast<wchar_t>(std::towupper(text[i]));
        bool valid =
            radix == L'H' ? (IsDigit(c) || (c >= L'A' && c <= L'F')) : (c >= L'0' && c <= L'7');
        if (!valid) {
            return false;
        }
        nonZero = nonZero || c != L'0';
    }
    return true;
}

// Whether the text is a decimal number: a sign, digits with thousands separators, a decimal
// point with digits, an exponent. `nonZero` tells whether any mantissa digit is not 0.
bool ParseDecimalNumber(const Text& text, bool& nonZero) {
    size_t i = 0;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) {
        ++i;
    }
    bool anyDigit = false;
    nonZero = false;
    while (i < text.size() && (IsDigit(text[i]) || (text[i] == L',' && anyDigit))) {
        if (IsDigit(text[i])) {
            anyDigit = true;
            nonZero = nonZero || text[i] != L'0';
        }
        ++i;
    }
    if (i < text.size() && text[i] == L'.') {
        ++i;
        while (i < text.size() && IsDigit(text[i])) {
            anyDigit = true;
            nonZero = nonZero || text[i] != L'0';
            ++i;
        }
    }
    if (!anyDigit) {
        return false;
    }
    if (i < text.size() && (text[i] == L'e' || text[i] == L'E')) {
        ++i;
        if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) {
            ++i;
        }
        size_t exponentStart = i;
        while (i < text.size() && IsDigit(text[i])) {
            ++i;
        }
        if (i == exponentStart) {
            return false;
        }
    }
    return i == text.size();
}

} // namespace

bool TextToBoolean(const Text& p_Text) {
    Text upper = ToUpper(p_Text);
    if (upper == L"TRUE" || p_Text == L"#TRUE#") {
        return true;
    }
    if (upper == L"FALSE" || p_Text == L"#FALSE#") {
        return false;
    }
    size_t first = 0;
    size_t last = p_Text.size();
    while (first < last && IsBlank(p_Text[first])) {
        ++first;
    }
    while (last > first && IsBlank(p_Text[last - 1])) {
        --last;
    }
    Text number = p_Text.substr(first, last - first);
    bool nonZero = false;
    if (ParseRadixNumber(number, nonZero) || ParseDecimalNumber(number, nonZero)) {
        return nonZero;
    }
    throw ZPError(13, L"Type mismatch");
}

} // namespace Utilities
