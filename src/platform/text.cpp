#include "platform/text.h"

#include "platform/error.h"
#include "winapi/winapi.h"

#include <string>

namespace Utilities {

namespace {

const size_t kMaxCount = 32767;

int16_t CountOf(const Text& text) {
    if (text.size() > kMaxCount) {
        throw ZPError::Overflow();
    }
    return static_cast<int16_t>(text.size());
}

} // namespace

bool EndsWith(const Text& p_Text, const Text& p_Suffix, bool p_CaseSensitive) {
    if (p_Suffix.empty()) {
        return true;
    }
    if (p_Text.empty()) {
        return false;
    }
    int16_t count = CountOf(p_Suffix);
    if (p_CaseSensitive) {
        return SafeRight(p_Text, count) == p_Suffix;
    }
    return SafeRight(ToUpper(p_Text), count) == ToUpper(p_Suffix);
}

Text RemoveTrailing(const Text& p_Text, const Text& p_Suffix) {
    if (p_Text.empty()) {
        return L"";
    }
    int16_t textCount = CountOf(p_Text);
    int16_t suffixCount = CountOf(p_Suffix);
    if (suffixCount == 0 || textCount < suffixCount) {
        return p_Text;
    }
    if (ToUpper(SafeRight(p_Text, suffixCount)) == ToUpper(p_Suffix)) {
        return SafeLeft(p_Text, static_cast<int16_t>(textCount - suffixCount));
    }
    return p_Text;
}

Text TrimAtNull(const Text& p_Text) {
    size_t nul = p_Text.find(L'\0');
    return nul == Text::npos ? p_Text : p_Text.substr(0, nul);
}

Text SafeLeft(const Text& p_Text, int16_t p_Count) {
    if (p_Count <= 0) {
        return L"";
    }
    return p_Text.substr(0, static_cast<size_t>(p_Count));
}

Text SafeRight(const Text& p_Text, int16_t p_Count) {
    if (p_Count <= 0) {
        return L"";
    }
    size_t count = static_cast<size_t>(p_Count);
    return count >= p_Text.size() ? p_Text : p_Text.substr(p_Text.size() - count);
}

} // namespace Utilities
