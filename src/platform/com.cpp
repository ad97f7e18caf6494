#include "platform/com.h"

#include "platform/error.h"
#include "winapi/winapi.h"

#include <cstdio>
#include <map>
#include <utility>

#ifndef _WIN32
#include "platform/registry.h"
#include "sim/Machine.h"
#endif

namespace Utilities {

namespace {

const long kClassNotRegistered = static_cast<long>(0x80040154UL);
const long kInvalidClassString = static_cast<long>(0x800401F3UL);
const long kUnspecifiedError = static_cast<long>(0x80004005UL);
const long kUnknownName = static_cast<long>(0x80020006UL);
const long kExceptionOccurred = static_cast<long>(0x80020009UL);

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
#ifdef _WIN32
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
#else
    (void)code;
    return L"";
#endif
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

#ifdef _WIN32

class ComObject::Instance {
public:
    explicit Instance(IDispatch* dispatch) : dispatch(dispatch) {}
    ~Instance() { dispatch->Release(); }
    Instance(const Instance&) = delete;
    Instance& operator=(const Instance&) = delete;
    IDispatch* dispatch;
};

namespace {

// COM is initialised once for the program, on its one thread, and stays so until it ends.
void InitializeComOnce() {
    static const HRESULT initialized = CoInitialize(nullptr);
    (void)initialized;
}

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
    InitializeComOnce();
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

#else

// On the simulated machine an object is the CLSID of its class in the machine's table.
class ComObject::Instance {
public:
    explicit Instance(std::wstring classId) : classId(std::move(classId)) {}
    std::wstring classId;
};

namespace {

sim::Machine::ComClass* FindClass(const std::wstring& classId) {
    for (auto& entry : sim::CurrentMachine().comClasses) {
        if (ToUpper(entry.first) == ToUpper(classId)) {
            return &entry.second;
        }
    }
    return nullptr;
}

} // namespace

ComObject ComObject::Create(const Text& p_ProgId) {
    Text classId = p_ProgId.empty() ? L""
                                    : ReadRegistryString(HKEY_CLASSES_ROOT, p_ProgId + L"\\CLSID",
                                                         L"", L"", false);
    if (classId.empty()) {
        Raise(kInvalidClassString, L"");
    }
    sim::Machine::ComClass* found = FindClass(classId);
    if (found == nullptr) {
        Raise(kClassNotRegistered, L"");
    }
    if (!found->creatable) {
        throw ZPError(kUnspecifiedError, found->creationError.empty()
                                             ? DescribeComError(kUnspecifiedError, L"")
                                             : found->creationError);
    }
    return ComObject(std::make_unique<Instance>(classId));
}

void ComObject::CallMethod(const Text& p_Method, const std::vector<ComArgument>&) {
    sim::Machine::ComClass* found = FindClass(m_Instance->classId);
    if (found == nullptr) {
        Raise(kUnspecifiedError, L"");
    }
    found->calls.push_back(p_Method);
    for (const auto& failing : found->failingMethods) {
        if (ToUpper(failing.first) == ToUpper(p_Method)) {
            throw ZPError(kExceptionOccurred, failing.second);
        }
    }
}

#endif

ComObject::ComObject(std::unique_ptr<Instance> instance) : m_Instance(std::move(instance)) {}
ComObject::ComObject(ComObject&&) noexcept = default;
ComObject& ComObject::operator=(ComObject&&) noexcept = default;
ComObject::~ComObject() = default;

} // namespace Utilities
