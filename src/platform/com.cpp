#include "platform/com.h"

#include "platform/error.h"
#include "winapi/winapi.h"

#include <cstdio>
#include <map>
#include <utility>

namespace Utilities {

namespace {

// Codes as numbers of errors: HRESULTs, negative for failures on every build.
const long kClassNotRegistered = REGDB_E_CLASSNOTREG;
const long kInvalidClassString = CO_E_CLASSSTRING;
const long kUnspecifiedError = E_FAIL;
const long kUnknownName = DISP_E_UNKNOWNNAME;
const long kExceptionOccurred = DISP_E_EXCEPTION;

// Our own texts for the codes that this program meets, for systems that have none.
Text KnownMessage(long code) {
    static const std::map<long, const wchar_t*> messages = {
        {kClassNotRegistered, L"Class not registered"},
        {kInvalidClassString, L"Invalid class string"},
        {kUnspecifiedError, L"Unspecified error"},
        {kUnknownName, L"Unknown name"},
        {kExceptionOccurred, L"Exception occurred"}};
    auto found = messages.find(code);
    return found != messages.end() ? found->second : L"";
}

Text HexCode(long code) {
    char text[16] = {};
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(code) & 0xFFFFFFFFUL);
    return FromAnsi(text);
}

// The system's message for a code without its line end and final full stop; "" when the system
// has none.
Text SystemMessage(long code) {
    char buffer[1024] = {};
    DWORD length =
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                       static_cast<DWORD>(code), 0, buffer, sizeof buffer - 1, nullptr);
    Text message = length == 0 ? L"" : FromAnsi(std::string(buffer, length));
    while (!message.empty() && (message.back() == L'\r' || message.back() == L'\n' ||
                                message.back() == L' ' || message.back() == L'.')) {
        message.pop_back();
    }
    return message;
}

[[noreturn]] void Raise(long code, const Text& fallback) {
    throw ZPError(code, DescribeComError(code, fallback));
}

} // namespace

Text DescribeComError(long p_Code, const Text& p_Fallback) {
    Text message = SystemMessage(p_Code);
    if (message.empty()) {
        message = KnownMessage(p_Code);
    }
    if (message.empty()) {
        message = p_Fallback.empty() ? Text(L"COM error") : p_Fallback;
    }
    return message + L" (" + HexCode(p_Code) + L")";
}

class ComObject::Instance {
public:
    explicit Instance(IDispatch* dispatch) : dispatch(dispatch) {}
    ~Instance() { dispatch->Release(); }
    Instance(const Instance&) = delete;
    Instance& operator=(const Instance&) = delete;
    IDispatch* dispatch;
};

namespace {

// The arguments of a call, in the reverse order that IDispatch expects, freed on every path.
class CallArguments {
public:
    explicit CallArguments(const std::vector<ComArgument>& arguments)
        : m_Variants(arguments.size()) {
        for (size_t i = 0; i < arguments.size(); ++i) {
            VARIANTARG& variant = m_Variants[arguments.size() - 1 - i];
            VariantInit(&variant);
            if (const int16_t* number = std::get_if<int16_t>(&arguments[i])) {
                variant.vt = VT_I2;
                variant.iVal = *number;
            } else {
                variant.vt = VT_BSTR;
                variant.bstrVal = SysAllocString(std::get<Text>(arguments[i]).c_str());
            }
        }
    }
    ~CallArguments() {
        for (VARIANTARG& variant : m_Variants) {
            VariantClear(&variant);
        }
    }
    CallArguments(const CallArguments&) = delete;
    CallArguments& operator=(const CallArguments&) = delete;
    DISPPARAMS Parameters() {
        return DISPPARAMS{m_Variants.data(), nullptr, static_cast<UINT>(m_Variants.size()), 0};
    }

private:
    std::vector<VARIANTARG> m_Variants;
};

} // namespace

ComObject ComObject::Create(const Text& p_ProgId) {
    CLSID classId;
    HRESULT result = CLSIDFromProgID(p_ProgId.c_str(), &classId);
    if (FAILED(result)) {
        Raise(result, L"Invalid class string");
    }
    void* created = nullptr;
    result = CoCreateInstance(classId, nullptr, CLSCTX_SERVER, IID_IDispatch, &created);
    if (FAILED(result) || created == nullptr) {
        Raise(FAILED(result) ? result : kUnspecifiedError, L"Unable to create the object");
    }
    return ComObject(std::make_unique<Instance>(static_cast<IDispatch*>(created)));
}

void ComObject::CallMethod(const Text& p_Method, const std::vector<ComArgument>& p_Arguments) {
    IDispatch* dispatch = m_Instance->dispatch;
    Text method = p_Method;
    LPOLESTR names[] = {&method[0]};
    DISPID id = 0;
    HRESULT result = dispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(result)) {
        Raise(result, L"Unknown method " + p_Method);
    }
    CallArguments arguments(p_Arguments);
    DISPPARAMS parameters = arguments.Parameters();
    VARIANT returned;
    VariantInit(&returned);
    EXCEPINFO exception = {};
    UINT badArgument = 0;
    result = dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters,
                              &returned, &exception, &badArgument);
    VariantClear(&returned);
    if (result == DISP_E_EXCEPTION) {
        if (exception.pfnDeferredFillIn != nullptr) {
            exception.pfnDeferredFillIn(&exception);
        }
        Text description =
            exception.bstrDescription != nullptr ? Text(exception.bstrDescription) : L"";
        long code =
            exception.scode != 0 ? static_cast<long>(exception.scode) : static_cast<long>(result);
        SysFreeString(exception.bstrSource);
        SysFreeString(exception.bstrDescription);
        SysFreeString(exception.bstrHelpFile);
        if (!description.empty()) {
            throw ZPError(code, description + L" (" + HexCode(code) + L")");
        }
        Raise(code, L"");
    }
    if (FAILED(result)) {
        Raise(result, L"");
    }
}

ComApartment::ComApartment()
    : m_Begun(
          SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {}

ComApartment::~ComApartment() {
    if (m_Begun) {
        CoUninitialize();
    }
}

void ReleaseUnusedServers() {
    CoFreeUnusedLibraries();
}

ComObject::ComObject(std::unique_ptr<Instance> instance) : m_Instance(std::move(instance)) {}
ComObject::ComObject(ComObject&&) noexcept = default;
ComObject& ComObject::operator=(ComObject&&) noexcept = default;
ComObject::~ComObject() = default;

} // namespace Utilities
