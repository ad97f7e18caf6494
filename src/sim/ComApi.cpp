// COM on the simulated machine: the apartment, object creation by ProgID and CLSID, automation
// objects of the machine's COM servers, strings, variants and the system's messages for result
// codes.
//
// A ProgID resolves through HKEY_CLASSES_ROOT as the program sees it (its registry view), as do
// the registrations of classes that have no server on this machine: a class registered with an
// InprocServer32 or LocalServer32 names a Windows program, which a Linux process cannot run, and
// its creation fails with HRESULT_FROM_WIN32(ERROR_BAD_EXE_FORMAT), the code Windows gives for a
// server that cannot be loaded into the process.
#include "sim/Ansi.h"
#include "sim/Machine.h"
#include "sim/Names.h"

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <new>
#include <string>

using namespace sim;

const IID IID_NULL = {0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};
const IID IID_IUnknown = {0x00000000, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID IID_IDispatch = {0x00020400, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

namespace {

const HRESULT kServerCannotRun = HRESULT_FROM_WIN32(ERROR_BAD_EXE_FORMAT);

bool SameGuid(const GUID& a, const GUID& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" in upper case.
std::wstring GuidText(const GUID& guid) {
    wchar_t text[40] = {};
    std::swprintf(text, 40, L"{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  static_cast<unsigned>(guid.Data1), guid.Data2, guid.Data3, guid.Data4[0],
                  guid.Data4[1], guid.Data4[2], guid.Data4[3], guid.Data4[4], guid.Data4[5],
                  guid.Data4[6], guid.Data4[7]);
    return text;
}

// The GUID of a text in braces; false when the text is not one (in any letter case).
bool ParseGuid(const std::wstring& text, GUID& guid) {
    unsigned long data1 = 0;
    unsigned data2 = 0, data3 = 0, b[8] = {};
    if (std::swscanf(text.c_str(), L"{%8lx-%4x-%4x-%2x%2x-%2x%2x%2x%2x%2x%2x}", &data1, &data2,
                     &data3, &b[0], &b[1], &b[2], &b[3], &b[4], &b[5], &b[6], &b[7]) != 11) {
        return false;
    }
    guid.Data1 = static_cast<DWORD>(data1);
    guid.Data2 = static_cast<WORD>(data2);
    guid.Data3 = static_cast<WORD>(data3);
    for (int i = 0; i < 8; ++i) {
        guid.Data4[i] = static_cast<BYTE>(b[i]);
    }
    // (The scan takes blanks, signs and short numbers too; the GUID's own text does not.)
    return SameName(GuidText(guid), text);
}

// The default value of a key of HKEY_CLASSES_ROOT, read as the program reads it; false when the
// key is missing (an empty text when it has no default value).
bool ReadClassesText(const std::wstring& path, std::wstring& text) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, ToMachineAnsi(path).c_str(), 0, KEY_QUERY_VALUE, &key) !=
        ERROR_SUCCESS) {
        return false;
    }
    char buffer[256] = {};
    DWORD size = sizeof buffer - 1;
    DWORD type = 0;
    LSTATUS status =
        RegQueryValueExA(key, "", nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(key);
    text = status == ERROR_SUCCESS && (type == REG_SZ || type == REG_EXPAND_SZ)
               ? FromAnsiArgument(buffer)
               : L"";
    return true;
}

Machine::ComClass* FindClass(const std::wstring& classId) {
    for (auto& entry : CurrentMachine().comClasses) {
        if (SameName(entry.first, classId)) {
            return &entry.second;
        }
    }
    return nullptr;
}

// One argument of a call as the class records it.
std::wstring ArgumentText(const VARIANTARG& argument) {
    switch (argument.vt) {
    case VT_I2:
        return std::to_wstring(argument.iVal);
    case VT_I4:
        return std::to_wstring(argument.lVal);
    case VT_BOOL:
        return argument.boolVal != 0 ? L"True" : L"False";
    case VT_BSTR:
        return L"\"" + std::wstring(argument.bstrVal != nullptr ? argument.bstrVal : L"") + L"\"";
    default:
        return L"<type " + std::to_wstring(argument.vt) + L">";
    }
}

// An automation object of one of the machine's classes. Its methods are the class's, numbered
// from 1 in the order of their names.
class SimObject final : public IDispatch {
public:
    explicit SimObject(std::wstring classId) : m_ClassId(std::move(classId)) {
        if (Machine::ComClass* found = FindClass(m_ClassId)) {
            ++found->liveObjects;
        }
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override {
        if (ppvObject == nullptr) {
            return E_POINTER;
        }
        *ppvObject = nullptr;
        if (!SameGuid(riid, IID_IUnknown) && !SameGuid(riid, IID_IDispatch)) {
            return E_NOINTERFACE;
        }
        *ppvObject = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_References; }
    ULONG STDMETHODCALLTYPE Release() override {
        ULONG left = --m_References;
        if (left == 0) {
            if (Machine::ComClass* found = FindClass(m_ClassId)) {
                --found->liveObjects;
            }
            delete this;
        }
        return left;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* pctinfo) override {
        if (pctinfo == nullptr) {
            return E_INVALIDARG;
        }
        *pctinfo = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** ppTInfo) override {
        if (ppTInfo != nullptr) {
            *ppTInfo = nullptr;
        }
        return DISP_E_BADINDEX;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* rgszNames, UINT cNames, LCID,
                                            DISPID* rgDispId) override {
        if (rgszNames == nullptr || rgDispId == nullptr || cNames == 0) {
            return E_INVALIDARG;
        }
        for (UINT i = 0; i < cNames; ++i) {
            rgDispId[i] = DISPID_UNKNOWN;
        }
        Machine::ComClass* found = FindClass(m_ClassId);
        if (found == nullptr) {
            return DISP_E_UNKNOWNNAME;
        }
        DISPID id = 0;
        for (const auto& method : found->methods) {
            ++id;
            if (SameName(method.first, rgszNames[0])) {
                rgDispId[0] = id;
                // Named arguments are not part of these classes.
                return cNames == 1 ? S_OK : DISP_E_UNKNOWNNAME;
            }
        }
        return DISP_E_UNKNOWNNAME;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID dispIdMember, REFIID, LCID, WORD wFlags,
                                     DISPPARAMS* pDispParams, VARIANT*, EXCEPINFO* pExcepInfo,
                                     UINT*) override {
        Machine::ComClass* found = FindClass(m_ClassId);
        if (found == nullptr || dispIdMember < 1 ||
            static_cast<size_t>(dispIdMember) > found->methods.size() ||
            (wFlags & DISPATCH_METHOD) == 0) {
            return DISP_E_MEMBERNOTFOUND;
        }
        if (pDispParams == nullptr || (pDispParams->cArgs > 0 && pDispParams->rgvarg == nullptr)) {
            return E_INVALIDARG;
        }
        auto method = found->methods.begin();
        std::advance(method, dispIdMember - 1);
        // The arguments arrive last first.
        std::wstring call = method->first + L"(";
        for (UINT i = pDispParams->cArgs; i > 0; --i) {
            call += ArgumentText(pDispParams->rgvarg[i - 1]);
            call += i > 1 ? L", " : L"";
        }
        found->calls.push_back(call + L")");
        if (method->second.exception == 0) {
            return S_OK;
        }
        if (pExcepInfo != nullptr) {
            *pExcepInfo = EXCEPINFO{};
            pExcepInfo->scode = method->second.exception;
            if (!method->second.description.empty()) {
                pExcepInfo->bstrDescription = SysAllocString(method->second.description.c_str());
            }
        }
        return DISP_E_EXCEPTION;
    }

private:
    ~SimObject() = default;
    std::wstring m_ClassId;
    ULONG m_References = 1;
};

// The system's messages for the result codes the machine's COM gives: Windows' own texts, and for
// the one failure only this machine has, what it means here.
const wchar_t* SystemMessage(DWORD code) {
    static const std::pair<DWORD, const wchar_t*> messages[] = {
        {ERROR_FILE_NOT_FOUND, L"The system cannot find the file specified."},
        {ERROR_PATH_NOT_FOUND, L"The system cannot find the path specified."},
        {ERROR_ACCESS_DENIED, L"Access is denied."},
        {ERROR_ACCESS_DISABLED_BY_POLICY,
         L"This program is blocked by group policy. For more information, contact your system "
         L"administrator."},
        {0x80004002u, L"No such interface supported"},
        {0x80004003u, L"Invalid pointer"},
        {0x80004005u, L"Unspecified error"},
        {0x8007000Eu, L"Not enough memory resources are available to complete this operation."},
        {0x80070057u, L"The parameter is incorrect."},
        {0x80020003u, L"Member not found."},
        {0x80020006u, L"Unknown name."},
        {0x80020009u, L"Exception occurred."},
        {0x8002000Bu, L"Invalid index."},
        {0x80040154u, L"Class not registered"},
        {0x800401F3u, L"Invalid class string"},
        {static_cast<DWORD>(kServerCannotRun),
         L"The class is registered but its server cannot run on this machine"},
    };
    for (const auto& message : messages) {
        if (message.first == code) {
            return message.second;
        }
    }
    return nullptr;
}

} // namespace

HRESULT WINAPI CoInitializeEx(LPVOID pvReserved, DWORD dwCoInit) {
    Machine& machine = CurrentMachine();
    machine.apartmentCalls.push_back("CoInitializeEx(" + std::to_string(dwCoInit) + ")");
    if (pvReserved != nullptr) {
        return E_INVALIDARG;
    }
    return machine.apartmentDepth++ == 0 ? S_OK : S_FALSE;
}

void WINAPI CoUninitialize() {
    Machine& machine = CurrentMachine();
    machine.apartmentCalls.push_back("CoUninitialize");
    if (machine.apartmentDepth > 0) {
        --machine.apartmentDepth;
    }
}

void WINAPI CoFreeUnusedLibraries() {
    CurrentMachine().apartmentCalls.push_back("CoFreeUnusedLibraries");
}

HRESULT WINAPI CLSIDFromProgID(LPCOLESTR lpszProgID, LPCLSID lpclsid) {
    if (lpszProgID == nullptr || lpclsid == nullptr) {
        return E_INVALIDARG;
    }
    *lpclsid = IID_NULL;
    std::wstring progId = lpszProgID;
    std::wstring classId;
    if (progId.empty() || !ReadClassesText(progId + L"\\CLSID", classId) ||
        !ParseGuid(classId, *lpclsid)) {
        return CO_E_CLASSSTRING;
    }
    return S_OK;
}

HRESULT WINAPI CoCreateInstance(REFCLSID rclsid, LPUNKNOWN pUnkOuter, DWORD dwClsContext,
                                REFIID riid, LPVOID* ppv) {
    if (ppv == nullptr) {
        return E_POINTER;
    }
    *ppv = nullptr;
    if (pUnkOuter != nullptr || (dwClsContext & CLSCTX_SERVER) == 0) {
        return E_INVALIDARG;
    }
    std::wstring classId = GuidText(rclsid);
    Machine::ComClass* found = FindClass(classId);
    if (found == nullptr) {
        std::wstring server;
        bool registered = ReadClassesText(L"CLSID\\" + classId + L"\\InprocServer32", server) ||
                          ReadClassesText(L"CLSID\\" + classId + L"\\LocalServer32", server);
        return registered ? kServerCannotRun : REGDB_E_CLASSNOTREG;
    }
    if (FAILED(found->creationResult)) {
        return found->creationResult;
    }
    SimObject* object = new SimObject(classId);
    HRESULT result = object->QueryInterface(riid, ppv);
    object->Release();
    return result;
}

// A string is its length in bytes, then its characters and a NUL; the pointer is to the first
// character.
BSTR WINAPI SysAllocString(const OLECHAR* psz) {
    if (psz == nullptr) {
        return nullptr;
    }
    size_t length = std::wcslen(psz);
    auto* block = static_cast<uint32_t*>(
        ::operator new(sizeof(uint32_t) + (length + 1) * sizeof(OLECHAR), std::nothrow));
    if (block == nullptr) {
        return nullptr;
    }
    *block = static_cast<uint32_t>(length * sizeof(OLECHAR));
    BSTR text = reinterpret_cast<BSTR>(block + 1);
    std::wmemcpy(text, psz, length + 1);
    return text;
}

void WINAPI SysFreeString(BSTR bstrString) {
    if (bstrString != nullptr) {
        ::operator delete(reinterpret_cast<uint32_t*>(bstrString) - 1);
    }
}

UINT WINAPI SysStringLen(BSTR pbstr) {
    return pbstr == nullptr ? 0 : reinterpret_cast<uint32_t*>(pbstr)[-1] / sizeof(OLECHAR);
}

void WINAPI VariantInit(VARIANTARG* pvarg) {
    pvarg->vt = VT_EMPTY;
    pvarg->wReserved1 = pvarg->wReserved2 = pvarg->wReserved3 = 0;
}

HRESULT WINAPI VariantClear(VARIANTARG* pvarg) {
    if (pvarg->vt == VT_BSTR) {
        SysFreeString(pvarg->bstrVal);
    }
    pvarg->vt = VT_EMPTY;
    return S_OK;
}

DWORD WINAPI FormatMessageA(DWORD dwFlags, LPCVOID, DWORD dwMessageId, DWORD, LPSTR lpBuffer,
                            DWORD nSize, va_list*) {
    // Only messages of the system, copied into the caller's buffer, without inserts.
    if ((dwFlags & FORMAT_MESSAGE_FROM_SYSTEM) == 0 ||
        (dwFlags & FORMAT_MESSAGE_ALLOCATE_BUFFER) != 0 || lpBuffer == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const wchar_t* message = SystemMessage(dwMessageId);
    if (message == nullptr) {
        SetLastError(ERROR_MR_MID_NOT_FOUND);
        return 0;
    }
    std::string text = ToMachineAnsi(std::wstring(message) + L"\r\n");
    if (text.size() + 1 > nSize) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(lpBuffer, text.c_str(), text.size() + 1);
    return static_cast<DWORD>(text.size());
}
