// Code page conversions and letter case on the simulated machine.
#include "sim/Ansi.h"
#include "sim/CodePage.h"
#include "sim/Errors.h"
#include "sim/Machine.h"
#include "sim/Paths.h"

#include <cstring>

using namespace sim;

namespace {

unsigned EffectiveCodePage(UINT codePage) {
    return codePage == CP_ACP ? CurrentMachine().codePage : codePage;
}

} // namespace

UINT WINAPI GetACP() {
    return CurrentMachine().codePage;
}

int WINAPI MultiByteToWideChar(UINT CodePage, DWORD, LPCSTR lpMultiByteStr, int cbMultiByte,
                               LPWSTR lpWideCharStr, int cchWideChar) {
    if (lpMultiByteStr == nullptr || cbMultiByte == 0 || cchWideChar < 0) {
        return Fail(ERROR_INVALID_PARAMETER, 0);
    }
    size_t length =
        cbMultiByte < 0 ? std::strlen(lpMultiByteStr) + 1 : static_cast<size_t>(cbMultiByte);
    std::wstring converted =
        CodePageToWide(EffectiveCodePage(CodePage), std::string(lpMultiByteStr, length));
    return CopyCounted(converted, lpWideCharStr, cchWideChar);
}

int WINAPI WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWSTR lpWideCharStr, int cchWideChar,
                               LPSTR lpMultiByteStr, int cbMultiByte, LPCSTR lpDefaultChar,
                               LPBOOL lpUsedDefaultChar) {
    unsigned codePage = EffectiveCodePage(CodePage);
    if (lpWideCharStr == nullptr || cchWideChar == 0 || cbMultiByte < 0) {
        return Fail(ERROR_INVALID_PARAMETER, 0);
    }
    if (codePage == CP_UTF8 &&
        (dwFlags != 0 || lpDefaultChar != nullptr || lpUsedDefaultChar != nullptr)) {
        return Fail(ERROR_INVALID_FLAGS, 0);
    }
    size_t length =
        cchWideChar < 0 ? std::wcslen(lpWideCharStr) + 1 : static_cast<size_t>(cchWideChar);
    bool usedDefault = false;
    std::string converted =
        WideToCodePage(codePage, std::wstring(lpWideCharStr, length),
                       lpDefaultChar != nullptr ? *lpDefaultChar : '?', &usedDefault);
    if (lpUsedDefaultChar != nullptr) {
        *lpUsedDefaultChar = usedDefault ? TRUE : FALSE;
    }
    return CopyCounted(converted, lpMultiByteStr, cbMultiByte);
}

DWORD WINAPI CharUpperBuffW(LPWSTR lpsz, DWORD cchLength) {
    if (lpsz == nullptr) {
        return 0;
    }
    for (DWORD i = 0; i < cchLength; ++i) {
        lpsz[i] = UpperChar(lpsz[i]);
    }
    return cchLength;
}
