// COM objects through the seam on the simulated machine: the arguments a call passes, and the
// descriptions of failures made from EXCEPINFO and from the system's messages.
#include "platform/com.h"
#include "platform/error.h"
#include "support/SimMachineTest.h"

namespace {

const wchar_t kProgId[] = L"Zanprobe.Test";
const wchar_t kClass[] = L"{6C1E0C11-7A2B-4C5D-9E01-0000000000C1}";

} // namespace

class ComTest : public SimMachineTest {
protected:
    sim::Machine::ComClass& Register() { return Given().ComClass(kProgId, kClass); }
    // The description of the error that creating the object raises ("" when it is created).
    std::wstring CreationError() {
        try {
            Utilities::ComObject::Create(kProgId);
        } catch (const ZPError& error) {
            return error.Description();
        }
        return L"";
    }
};

TEST_F(ComTest, ArgumentsArePassedInOrderAndTheObjectIsReleased) {
    sim::Machine::ComClass& graph = Register();
    graph.methods[L"Plot"];
    {
        Utilities::ComObject object = Utilities::ComObject::Create(kProgId);
        EXPECT_EQ(graph.liveObjects, 1);
        object.CallMethod(L"PLOT", {int16_t{-3}, Text(L"two words")});
        object.CallMethod(L"Plot", {});
    }
    EXPECT_EQ(graph.calls, (std::vector<std::wstring>{L"Plot(-3, \"two words\")", L"Plot()"}));
    EXPECT_EQ(graph.liveObjects, 0);
}

TEST_F(ComTest, FailedCallsAreDescribedByTheirExceptionOrTheSystem) {
    struct Case {
        sim::Machine::ComClass::Method method;
        const wchar_t* called;
        long number;
        const wchar_t* description;
    };
    const Case cases[] = {
        {{static_cast<SCODE>(0x800A03E8), L"No licence"},
         L"Run",
         static_cast<SCODE>(0x800A03E8),
         L"No licence (0x800A03E8)"},
        {{E_INVALIDARG, L""}, L"Run", E_INVALIDARG, L"The parameter is incorrect (0x80070057)"},
        {{static_cast<SCODE>(0x800A0001), L""},
         L"Run",
         static_cast<SCODE>(0x800A0001),
         L"COM error (0x800A0001)"},
        {{}, L"Missing", DISP_E_UNKNOWNNAME, L"Unknown name (0x80020006)"},
    };
    for (const Case& test : cases) {
        Register().methods = {{L"Run", test.method}};
        Utilities::ComObject object = Utilities::ComObject::Create(kProgId);
        try {
            object.CallMethod(test.called, {int16_t{0}});
            ADD_FAILURE() << "the call succeeded";
        } catch (const ZPError& error) {
            EXPECT_EQ(error.Number(), test.number);
            EXPECT_EQ(error.Description(), test.description);
        }
    }
}

TEST_F(ComTest, FailedCreationIsDescribedByTheSystemOrOurText) {
    Register().creationResult = E_OUTOFMEMORY;
    EXPECT_EQ(CreationError(),
              L"Not enough memory resources are available to complete this operation (0x8007000E)");
    Register().creationResult = static_cast<HRESULT>(0x800A0001);
    EXPECT_EQ(CreationError(), L"Unable to create the object (0x800A0001)");
    // A CLSID value that is not a class identifier.
    Machine().registry.SetString(std::wstring(L"HKCR\\") + kProgId + L"\\CLSID", L"", L"{1234}");
    EXPECT_EQ(CreationError(), L"Invalid class string (0x800401F3)");
}

TEST_F(ComTest, ARegisteredClassWithoutServerHereIsToldApartFromAnUnregisteredOne) {
    const std::wstring serverCannotRun =
        L"The class is registered but its server cannot run on this machine (0x800700C1)";
    const std::wstring notRegistered = L"Class not registered (0x80040154)";
    struct Case {
        bool is64Bit;
        const wchar_t* serverKey;
        const std::wstring& description;
    };
    // The program's view of a 64-bit machine reads the 32-bit registrations under Wow6432Node.
    const Case cases[] = {
        {true, L"HKLM\\Software\\Classes\\Wow6432Node\\CLSID\\%\\InprocServer32", serverCannotRun},
        {true, L"HKLM\\Software\\Classes\\CLSID\\%\\InprocServer32", notRegistered},
        {false, L"HKLM\\Software\\Classes\\CLSID\\%\\LocalServer32", serverCannotRun},
        {false, L"HKCU\\Software\\Classes\\CLSID\\%\\InprocServer32", serverCannotRun},
        {false, L"HKLM\\Software\\Classes\\CLSID\\%\\TreatAs", notRegistered},
    };
    for (const Case& test : cases) {
        Machine().registry = sim::Registry();
        Machine().is64Bit = test.is64Bit;
        Machine().registry.SetString(std::wstring(L"HKCR\\") + kProgId + L"\\CLSID", L"", kClass);
        std::wstring key = test.serverKey;
        key.replace(key.find(L'%'), 1, kClass);
        Machine().registry.SetString(key, L"", L"C:\\Zandorel\\server.dll");
        EXPECT_EQ(CreationError(), test.description) << Utilities::ToUtf8(key);
    }
}
