#include "platform/versions.h"

#include "platform/error.h"

#include <algorithm>
#include <cmath>
#include <cwctype>

namespace Utilities {

namespace {

const size_t kMaxCount = 32767;

bool IsDigit(wchar_t c) {
    return c >= L'0' && c <= L'9';
}

bool ParseRadix(const Text& digits, int radix, double& value) {
    if (digits.empty()) {
        return false;
    }
    value = 0;
    for (wchar_t c : digits) {
        int digit = IsDigit(c)                 ? c - L'0'
                    : (c >= L'A' && c <= L'F') ? c - L'A' + 10
                    : (c >= L'a' && c <= L'f') ? c - L'a' + 10
                                               : 99;
        if (digit >= radix) {
            return false;
        }
        value = value * radix + digit;
    }
    return true;
}

} // namespace

Text GetNextSubString(Text& p_Text, const Text& delimiter) {
    if (p_Text.empty()) {
        return L"";
    }
    if (delimiter.empty()) {
        throw ZPError::InvalidArgument();
    }
    if (p_Text.size() > kMaxCount) {
        throw ZPError::Overflow();
    }
    size_t found = ToUpper(p_Text).find(ToUpper(delimiter));
    if (found == Text::npos) {
        Text piece = p_Text;
        p_Text.clear();
        return piece;
    }
    Text piece = p_Text.substr(0, found);
    size_t rest = found + delimiter.size();
    p_Text = rest >= p_Text.size() ? L"" : p_Text.substr(rest);
    return piece;
}

bool ParseVersion(const Text& p_VersionText, int32_t& p_Major, int32_t& p_Minor, int32_t& p_Build,
                  int32_t& p_Revision) {
    p_Major = 0;
    p_Minor = 0;
    p_Build = 0;
    p_Revision = 0;
    try {
        Text text = Trim(p_VersionText);
        if (text.empty()) {
            return false;
        }
        Text piece = GetNextSubString(text, L".");
        if (piece.empty() || !IsWholeNumberInRange(piece, 1, 9999)) {
            return false;
        }
        double value = 0;
        ParseNumber(piece, value);
        p_Major = static_cast<int32_t>(value);
        int32_t* const rest[] = {&p_Minor, &p_Build, &p_Revision};
        for (int32_t* part : rest) {
            piece = GetNextSubString(text, L".");
            if (piece.empty()) {
                return true;
            }
            if (!IsWholeNumberInRange(piece, 0, 9999)) {
                return false;
            }
            ParseNumber(piece, value);
            *part = static_cast<int32_t>(value);
        }
        return true;
    } catch (...) {
        return false;
    }
}

bool IsWholeNumberInRange(const Text& p_Text, int32_t minAllowedValue, int32_t maxAllowedValue) {
    if (minAllowedValue > maxAllowedValue) {
        throw ZPError::InvalidArgument();
    }
    double value = 0;
    if (!ParseNumber(p_Text, value)) {
        return false;
    }
    return value >= minAllowedValue && value <= maxAllowedValue && value == std::trunc(value);
}

bool ParseNumber(const Text& p_Text, double& p_Value) {
    size_t first = p_Text.find_first_not_of(L" \t");
    size_t last = p_Text.find_last_not_of(L" \t");
    if (first == Text::npos) {
        return false;
    }
    Text text = p_Text.substr(first, last - first + 1);
    if (text.size() > 2 && text[0] == L'&') {
        wchar_t kind = static_cast<wchar_t>(std::towupper(text[1]));
        if (kind == L'H') {
            return ParseRadix(text.substr(2), 16, p_Value);
        }
        if (kind == L'O') {
            return ParseRadix(text.substr(2), 8, p_Value);
        }
        return false;
    }
    size_t i = 0;
    bool negative = false;
    if (text[i] == L'+' || text[i] == L'-') {
        negative = text[i] == L'-';
        ++i;
    }
    double value = 0;
    size_t digits = 0;
    while (i < text.size() && IsDigit(text[i])) {
        value = value * 10 + (text[i++] - L'0');
        ++digits;
    }
    if (i < text.size() && text[i] == L'.') {
        ++i;
        double scale = 0.1;
        while (i < text.size() && IsDigit(text[i])) {
            value += (text[i++] - L'0') * scale;
            scale /= 10;
            ++digits;
        }
    }
    if (digits == 0) {
        return false;
    }
    if (i < text.size() && (text[i] == L'e' || text[i] == L'E')) {
        ++i;
        bool negativeExponent = false;
        if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) {
            negativeExponent = text[i] == L'-';
            ++i;
        }
        int exponent = 0;
        size_t exponentDigits = 0;
        while (i < text.size() && IsDigit(text[i])) {
            exponent = std::min(exponent * 10 + (text[i++] - L'0'), 9999);
            ++exponentDigits;
        }
        if (exponentDigits == 0) {
            return false;
        }
        value *= std::pow(10.0, negativeExponent ? -exponent : exponent);
    }
    if (i != text.size() || !std::isfinite(value)) {
        return false;
    }
    p_Value = negative ? -value : value;
    return true;
}

} // namespace Utilities
