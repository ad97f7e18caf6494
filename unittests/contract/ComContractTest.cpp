// Contract of COM object creation by ProgID (platform/com over the seam's COM): real COM on
// Windows, the simulated machine's elsewhere, held to the same results for ProgIDs that are unknown
// or whose class has no server. The ProgID is written into HKEY_CLASSES_ROOT and deleted again.
#include "platform/com.h"
#include "platform/error.h"
#include "winapi/winapi_testing.h"

#include <gtest/gtest.h>
#include <string>

namespace {

const char kProgId[] = "Zanprobe.ContractNoServer";

// The description and number of the error that creating the object raises.
ZPError CreationError(const Text& progId) {
    Utilities::ComApartment apartment;
    try {
        Utilities::ComObject::Create(progId);
    } catch (const ZPError& error) {
        return error;
    }
    ADD_FAILURE() << "the object was created";
    return ZPError(0, L"");
}

} // namespace

TEST(ComContract, UnknownProgIdIsAnInvalidClassString) {
    ZPError error = CreationError(L"Zanprobe.ContractUnknown");
    EXPECT_EQ(error.Number(), CO_E_CLASSSTRING);
    EXPECT_EQ(error.Description(), L"Invalid class string (0x800401F3)");
}

TEST(ComContract, ProgIdOfAClassWithoutServerIsClassNotRegistered) {
    std::string key = std::string(kProgId) + "\\CLSID";
    HKEY created = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &created, nullptr),
              ERROR_SUCCESS);
    const char classId[] = "{5A6E0C11-7A2B-4C5D-9E01-00000000C0DE}";
    EXPECT_EQ(RegSetValueExA(created, "", 0, REG_SZ, reinterpret_cast<const BYTE*>(classId),
                             sizeof classId),
              ERROR_SUCCESS);
    RegCloseKey(created);

    ZPError error = CreationError(Utilities::FromAnsi(kProgId));
    EXPECT_EQ(error.Number(), REGDB_E_CLASSNOTREG);
    EXPECT_EQ(error.Description(), L"Class not registered (0x80040154)");

    RegDeleteKeyA(HKEY_CLASSES_ROOT, key.c_str());
    RegDeleteKeyA(HKEY_CLASSES_ROOT, kProgId);
}

TEST(ComContract, CodesWithoutAMessageGetTheFallbackText) {
    EXPECT_EQ(Utilities::DescribeComError(static_cast<long>(0xA0B0C0D0UL), L"Our text"),
              L"Our text (0xA0B0C0D0)");
}

#ifdef _WIN32
// Real COM with an in-process server of ours (comserver/), registered for the test under two
// ProgIDs. The simulated machine's side of these cases is held by unittests/platform/ComTest.cpp.
namespace {

const char kWorkingProgId[] = "Zanprobe.ContractWorking";
const char kFailingProgId[] = "Zanprobe.ContractFailing";
const char kWorkingClass[] = "{5A6E0C11-7A2B-4C5D-9E01-0000000000A1}";
const char kFailingClass[] = "{5A6E0C11-7A2B-4C5D-9E01-0000000000A2}";

void SetText(const std::string& key, const char* name, const std::string& text) {
    HKEY created = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &created, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(created, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>(text.size() + 1));
    RegCloseKey(created);
}

// The server beside the test program, registered under both ProgIDs while it lives.
class RegisteredServer {
public:
    RegisteredServer() {
        char program[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, program, MAX_PATH);
        std::string folder(program);
        folder.resize(folder.find_last_of('\\') + 1);
        for (const auto& entry : Entries()) {
            SetText(std::string(entry.first) + "\\CLSID", "", entry.second);
            std::string server = std::string("CLSID\\") + entry.second + "\\InprocServer32";
            SetText(server, "", folder + "ContractComServer.dll");
            SetText(server, "ThreadingModel", "Apartment");
        }
    }
    ~RegisteredServer() {
        for (const auto& entry : Entries()) {
            RegDeleteTreeA(HKEY_CLASSES_ROOT, entry.first);
            RegDeleteTreeA(HKEY_CLASSES_ROOT, (std::string("CLSID\\") + entry.second).c_str());
        }
    }
    RegisteredServer(const RegisteredServer&) = delete;
    RegisteredServer& operator=(const RegisteredServer&) = delete;

private:
    static std::pair<const char*, const char*> const (&Entries())[2] {
        static const std::pair<const char*, const char*> entries[2] = {
            {kWorkingProgId, kWorkingClass}, {kFailingProgId, kFailingClass}};
        return entries;
    }
};

} // namespace

TEST(ComContract, InProcessServerIsCreatedAndCalledByName) {
    RegisteredServer server;
    Utilities::ComApartment apartment;
    Utilities::ComObject working =
        Utilities::ComObject::Create(Utilities::FromAnsi(kWorkingProgId));
    EXPECT_NO_THROW(working.CallMethod(L"Initialize", {int16_t{0}}));
    // An unknown method and a call whose exception carries a description.
    try {
        working.CallMethod(L"Missing", {});
        ADD_FAILURE() << "unknown method called";
    } catch (const ZPError& error) {
        EXPECT_EQ(error.Number(), DISP_E_UNKNOWNNAME);
    }
    Utilities::ComObject failing =
        Utilities::ComObject::Create(Utilities::FromAnsi(kFailingProgId));
    try {
        failing.CallMethod(L"Initialize", {int16_t{0}});
        ADD_FAILURE() << "failing call succeeded";
    } catch (const ZPError& error) {
        EXPECT_EQ(error.Description(), L"Contract graph cannot start (0x80004005)");
    }
}
#endif
