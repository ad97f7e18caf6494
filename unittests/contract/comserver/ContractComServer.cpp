// An in-process COM server for the contract of platform/com on Windows: two classes whose
// objects answer "Initialize" with one 16-bit integer 0, one succeeding and one failing with an
// exception that carries a description.
#include <windows.h>

#include <ole2.h>
#include <oleauto.h>

#include <new>

namespace {

// {5A6E0C11-7A2B-4C5D-9E01-0000000000A1} and {...A2}.
const CLSID kWorkingClass = {0x5a6e0c11, 0x7a2b, 0x4c5d, {0x9e, 0x01, 0, 0, 0, 0, 0, 0xa1}};
const CLSID kFailingClass = {0x5a6e0c11, 0x7a2b, 0x4c5d, {0x9e, 0x01, 0, 0, 0, 0, 0, 0xa2}};
const DISPID kInitialize = 1;

LONG g_Objects = 0;

class ContractObject : public IDispatch {
public:
    explicit ContractObject(bool fails) : m_Fails(fails) { InterlockedIncrement(&g_Objects); }
    virtual ~ContractObject() { InterlockedDecrement(&g_Objects); }
    ContractObject(const ContractObject&) = delete;
    ContractObject& operator=(const ContractObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch)) {
            *object = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override {
        return static_cast<ULONG>(InterlockedIncrement(&m_Count));
    }
    ULONG STDMETHODCALLTYPE Release() override {
        LONG count = InterlockedDecrement(&m_Count);
        if (count == 0) {
            delete this;
        }
        return static_cast<ULONG>(count);
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) override {
        for (UINT i = 0; i < count; ++i) {
            ids[i] = DISPID_UNKNOWN;
        }
        if (count == 1 && lstrcmpiW(names[0], L"Initialize") == 0) {
            ids[0] = kInitialize;
            return S_OK;
        }
        return DISP_E_UNKNOWNNAME;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* parameters,
                                     VARIANT*, EXCEPINFO* exception, UINT*) override {
        if (id != kInitialize || (flags & DISPATCH_METHOD) == 0) {
            return DISP_E_MEMBERNOTFOUND;
        }
        if (parameters->cArgs != 1 || parameters->rgvarg[0].vt != VT_I2 ||
            parameters->rgvarg[0].iVal != 0) {
            return DISP_E_TYPEMISMATCH;
        }
        if (m_Fails) {
            if (exception != nullptr) {
                ZeroMemory(exception, sizeof *exception);
                exception->scode = E_FAIL;
                exception->bstrDescription = SysAllocString(L"Contract graph cannot start");
            }
            return DISP_E_EXCEPTION;
        }
        return S_OK;
    }

private:
    bool m_Fails;
    LONG m_Count = 1;
};

class ContractFactory : public IClassFactory {
public:
    explicit ContractFactory(bool fails) : m_Fails(fails) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
            *object = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    // The factories live as long as the module.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** object) override {
        *object = nullptr;
        if (outer != nullptr) {
            return CLASS_E_NOAGGREGATION;
        }
        ContractObject* created = new (std::nothrow) ContractObject(m_Fails);
        if (created == nullptr) {
            return E_OUTOFMEMORY;
        }
        HRESULT result = created->QueryInterface(riid, object);
        created->Release();
        return result;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

private:
    bool m_Fails;
};

ContractFactory g_WorkingFactory(false);
ContractFactory g_FailingFactory(true);

} // namespace

#ifdef ZANPROBE_SERVER_NEEDS_HELPER
// The variant that imports a DLL of its own (ContractHelper.dll, beside it).
extern "C" __declspec(dllimport) int ContractHelperReady();
#endif

STDAPI DllGetClassObject(REFCLSID classId, REFIID riid, LPVOID* object) {
#ifdef ZANPROBE_SERVER_NEEDS_HELPER
    if (ContractHelperReady() != 1) {
        *object = nullptr;
        return E_UNEXPECTED;
    }
#endif
    if (IsEqualCLSID(classId, kWorkingClass)) {
        return g_WorkingFactory.QueryInterface(riid, object);
    }
    if (IsEqualCLSID(classId, kFailingClass)) {
        return g_FailingFactory.QueryInterface(riid, object);
    }
    *object = nullptr;
    return CLASS_E_CLASSNOTAVAILABLE;
}

STDAPI DllCanUnloadNow() {
    return g_Objects == 0 ? S_OK : S_FALSE;
}
