// The COM subset of the seam off Windows, part of winapi.h (include that header, not this one):
// object creation by class and late-bound calls through IDispatch, the VARIANT subset the
// program passes, strings and the system's messages for result codes. On Windows the Windows
// headers declare all of it.
#pragma once

#ifndef _WIN32

#include <cstdarg>

#define FAILED(hr) (static_cast<HRESULT>(hr) < 0)
#define SUCCEEDED(hr) (static_cast<HRESULT>(hr) >= 0)
#define S_FALSE 1L
#define E_NOINTERFACE static_cast<HRESULT>(0x80004002L)
#define E_POINTER static_cast<HRESULT>(0x80004003L)
#define E_OUTOFMEMORY static_cast<HRESULT>(0x8007000EL)
#define REGDB_E_CLASSNOTREG static_cast<HRESULT>(0x80040154L)
#define CO_E_CLASSSTRING static_cast<HRESULT>(0x800401F3L)
#define DISP_E_UNKNOWNNAME static_cast<HRESULT>(0x80020006L)
#define DISP_E_EXCEPTION static_cast<HRESULT>(0x80020009L)
#define DISP_E_MEMBERNOTFOUND static_cast<HRESULT>(0x80020003L)
#define DISP_E_BADINDEX static_cast<HRESULT>(0x8002000BL)
#define DISPID_UNKNOWN (-1)
#define HRESULT_FROM_WIN32(x)                                                                      \
    (static_cast<HRESULT>(x) <= 0                                                                  \
         ? static_cast<HRESULT>(x)                                                                 \
         : static_cast<HRESULT>((static_cast<DWORD>(x) & 0x0000FFFFu) | 0x80070000u))
#define STDMETHODCALLTYPE
#define COINIT_APARTMENTTHREADED 0x2
#define COINIT_DISABLE_OLE1DDE 0x4
#define CLSCTX_INPROC_SERVER 0x1
#define CLSCTX_INPROC_HANDLER 0x2
#define CLSCTX_LOCAL_SERVER 0x4
#define CLSCTX_REMOTE_SERVER 0x10
#define CLSCTX_SERVER (CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER)
#define DISPATCH_METHOD 0x1
#define FORMAT_MESSAGE_ALLOCATE_BUFFER 0x00000100
#define FORMAT_MESSAGE_IGNORE_INSERTS 0x00000200
#define FORMAT_MESSAGE_FROM_SYSTEM 0x00001000
#define ERROR_MR_MID_NOT_FOUND 317L

typedef uint32_t ULONG;
typedef int16_t SHORT;
typedef LONG SCODE;
typedef LONG DISPID;
typedef WCHAR OLECHAR;
typedef OLECHAR* LPOLESTR;
typedef const OLECHAR* LPCOLESTR;
typedef OLECHAR* BSTR;
typedef int16_t VARIANT_BOOL;
typedef WORD VARTYPE;

struct GUID {
    DWORD Data1;
    WORD Data2;
    WORD Data3;
    BYTE Data4[8];
};
typedef GUID IID;
typedef GUID CLSID;
typedef CLSID* LPCLSID;
typedef const IID& REFIID;
typedef const CLSID& REFCLSID;
extern const IID IID_NULL;
extern const IID IID_IUnknown;
extern const IID IID_IDispatch;

enum VARENUM { VT_EMPTY = 0, VT_NULL = 1, VT_I2 = 2, VT_I4 = 3, VT_BSTR = 8, VT_BOOL = 11 };

struct VARIANT {
    VARTYPE vt;
    WORD wReserved1;
    WORD wReserved2;
    WORD wReserved3;
    union {
        LONG lVal;
        SHORT iVal;
        VARIANT_BOOL boolVal;
        BSTR bstrVal;
    };
};
typedef VARIANT VARIANTARG;

struct DISPPARAMS {
    VARIANTARG* rgvarg;
    DISPID* rgdispidNamedArgs;
    UINT cArgs;
    UINT cNamedArgs;
};

struct EXCEPINFO {
    WORD wCode;
    WORD wReserved;
    BSTR bstrSource;
    BSTR bstrDescription;
    BSTR bstrHelpFile;
    DWORD dwHelpContext;
    void* pvReserved;
    HRESULT(STDMETHODCALLTYPE* pfnDeferredFillIn)(EXCEPINFO*);
    SCODE scode;
};

struct ITypeInfo;

// The interfaces as COM lays them out: a table of functions in this order.
struct IUnknown {
    virtual HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) = 0;
    virtual ULONG STDMETHODCALLTYPE AddRef() = 0;
    virtual ULONG STDMETHODCALLTYPE Release() = 0;

protected:
    ~IUnknown() = default;
};
typedef IUnknown* LPUNKNOWN;

struct IDispatch : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* pctinfo) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames,
                                                    LCID lcid, DISPID* rgDispId) = 0;
    virtual HRESULT STDMETHODCALLTYPE Invoke(DISPID dispIdMember, REFIID riid, LCID lcid,
                                             WORD wFlags, DISPPARAMS* pDispParams,
                                             VARIANT* pVarResult, EXCEPINFO* pExcepInfo,
                                             UINT* puArgErr) = 0;

protected:
    ~IDispatch() = default;
};

HRESULT WINAPI CoInitializeEx(LPVOID pvReserved, DWORD dwCoInit);
void WINAPI CoUninitialize();
void WINAPI CoFreeUnusedLibraries();
HRESULT WINAPI CLSIDFromProgID(LPCOLESTR lpszProgID, LPCLSID lpclsid);
HRESULT WINAPI CoCreateInstance(REFCLSID rclsid, LPUNKNOWN pUnkOuter, DWORD dwClsContext,
                                REFIID riid, LPVOID* ppv);
BSTR WINAPI SysAllocString(const OLECHAR* psz);
void WINAPI SysFreeString(BSTR bstrString);
UINT WINAPI SysStringLen(BSTR pbstr);
void WINAPI VariantInit(VARIANTARG* pvarg);
HRESULT WINAPI VariantClear(VARIANTARG* pvarg);
DWORD WINAPI FormatMessageA(DWORD dwFlags, LPCVOID lpSource, DWORD dwMessageId, DWORD dwLanguageId,
                            LPSTR lpBuffer, DWORD nSize, va_list* Arguments);

#endif
