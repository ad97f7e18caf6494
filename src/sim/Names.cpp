#include "sim/Names.h"

#include <cwctype>
#include <locale.h>
#include <wctype.h>

namespace sim {

wchar_t UpperNonAsciiChar(wchar_t c) {
    static const locale_t unicode = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
    wint_t wide = static_cast<wint_t>(c);
    return static_cast<wchar_t>(unicode != static_cast<locale_t>(0) ? towupper_l(wide, unicode)
                                                                    : std::towupper(wide));
}

std::wstring UpperName(std::wstring name) {
    for (wchar_t& c : name) {
        c = UpperChar(c);
    }
    return name;
}

bool SameName(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i] && UpperChar(a[i]) != UpperChar(b[i])) {
            return false;
        }
    }
    return true;
}

} // namespace sim
