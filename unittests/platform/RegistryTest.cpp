// The registry helpers on the simulated machine.
#include "platform/registry.h"
#include "platform/error.h"
#include "support/SimMachineTest.h"

#include <string>

class RegistryHelpersTest : public SimMachineTest {
protected:
    void SetUp() override {
        SimMachineTest::SetUp();
        Machine().environment = {{L"SystemRoot", L"C:\\windows"}, {L"TEMP", L"C:\\temp"}};
    }
    sim::Registry& Registry() { return Machine().registry; }
    void SetBytes(const std::wstring& key, const std::wstring& name, DWORD type,
                  const std::string& data) {
        Registry().CreateKey(key).SetValue(name, type, data);
    }
};

using Utilities::ExpandEnvironment;
using Utilities::ReadRegistryNumber;
using Utilities::ReadRegistryString;
using Utilities::RegistryKeyExists;
using Utilities::RegistryValueExists;

TEST_F(RegistryHelpersTest, KeyExistsByFullPathInAnyCaseWithLongRootNamesOnly) {
    Registry().CreateKey(L"HKLM\\Software\\Microsoft");
    Registry().CreateKey(L"HKCU\\Control Panel\\International");
    Registry().CreateKey(L"HKCR\\Interface\\{000208D5-0000-0000-C000-000000000046}");

    EXPECT_TRUE(RegistryKeyExists(L"HKEY_LOCAL_MACHINE\\Software\\Microsoft", false));
    EXPECT_TRUE(RegistryKeyExists(L"hkey_local_machine\\software\\microsoft", false));
    EXPECT_TRUE(RegistryKeyExists(L"HKEY_CURRENT_USER\\Control Panel\\International", false));
    EXPECT_TRUE(RegistryKeyExists(
        L"HKEY_CLASSES_ROOT\\Interface\\{000208D5-0000-0000-C000-000000000046}", false));
    EXPECT_FALSE(RegistryKeyExists(L"HKLM\\Software\\Microsoft", false));
    EXPECT_FALSE(RegistryKeyExists(L"HKEY_USERS\\.DEFAULT", false));
    EXPECT_FALSE(RegistryKeyExists(L"HKEY_LOCAL_MACHINE\\Software\\Missing", false));
    // The root followed by a backslash names the root itself.
    EXPECT_TRUE(RegistryKeyExists(L"HKEY_LOCAL_MACHINE\\", false));
    EXPECT_TRUE(RegistryKeyExists(L"HKEY_CURRENT_USER\\", true));
}

TEST_F(RegistryHelpersTest, KeyExistsRejectsAnEmptyPathOrABareRoot) {
    // Every root exists, even on a machine without keys.
    EXPECT_TRUE(RegistryKeyExists(L"HKEY_CLASSES_ROOT\\", false));
    for (const wchar_t* path : {L"", L"HKEY_LOCAL_MACHINE", L"hkey_classes_root"}) {
        try {
            RegistryKeyExists(path, false);
            ADD_FAILURE() << "no error for " << Utilities::ToUtf8(path);
        } catch (const ZPError& error) {
            EXPECT_EQ(error.Number(), 5);
            EXPECT_EQ(error.Description(), L"Invalid procedure call or argument");
        }
    }
}

TEST_F(RegistryHelpersTest, KeyExistsRequiresTheWholeRootName) {
    Registry().CreateKey(L"HKCU\\Software");
    EXPECT_TRUE(RegistryKeyExists(L"HKEY_CURRENT_USER\\Software", false));
    for (const wchar_t* path : {L"HKEY_CURRENT_USERS\\Software", L"HKEY_CURRENT_USERSoftware",
                                L"xHKEY_CURRENT_USERS\\Software"}) {
        EXPECT_FALSE(RegistryKeyExists(path, false)) << Utilities::ToUtf8(path);
    }
}

TEST_F(RegistryHelpersTest, KeyExistsKeepsASubkeyNamedLikeARoot) {
    Registry().CreateKey(L"HKLM\\Software\\HKEY_CURRENT_USER");
    EXPECT_TRUE(RegistryKeyExists(L"HKEY_LOCAL_MACHINE\\Software\\HKEY_CURRENT_USER", false));
    EXPECT_FALSE(RegistryKeyExists(L"HKEY_LOCAL_MACHINE\\Software\\HKEY_CURRENT_USER\\x", false));
}

TEST_F(RegistryHelpersTest, SixtyFourBitViewOnlyWhenAsked) {
    Machine().is64Bit = true;
    Registry().SetString(L"HKLM\\Software\\NativeOnly", L"v", L"native");
    Registry().SetString(L"HKLM\\Software\\Wow6432Node\\Zandorel", L"v", L"wow");

    EXPECT_FALSE(RegistryKeyExists(L"HKEY_LOCAL_MACHINE\\Software\\NativeOnly", false));
    EXPECT_TRUE(RegistryKeyExists(L"HKEY_LOCAL_MACHINE\\Software\\NativeOnly", true));
    EXPECT_TRUE(RegistryKeyExists(L"HKEY_LOCAL_MACHINE\\Software\\Zandorel", false));
    EXPECT_FALSE(RegistryKeyExists(L"HKEY_LOCAL_MACHINE\\Software\\Zandorel", true));

    EXPECT_TRUE(RegistryValueExists(HKEY_LOCAL_MACHINE, L"Software\\NativeOnly", L"v", true));
    EXPECT_FALSE(RegistryValueExists(HKEY_LOCAL_MACHINE, L"Software\\NativeOnly", L"v", false));
    EXPECT_EQ(ReadRegistryString(HKEY_LOCAL_MACHINE, L"Software\\Zandorel", L"v", L"-", false),
              L"wow");
    EXPECT_EQ(ReadRegistryString(HKEY_LOCAL_MACHINE, L"Software\\NativeOnly", L"v", L"-", true),
              L"native");
    // Numbers are read in the program's own view only.
    Registry().SetDword(L"HKLM\\Software\\NativeOnly", L"n", 7);
    Registry().SetDword(L"HKLM\\Software\\Wow6432Node\\Zandorel", L"n", 3);
    EXPECT_EQ(ReadRegistryNumber(HKEY_LOCAL_MACHINE, L"Software\\NativeOnly", L"n", -1), -1);
    EXPECT_EQ(ReadRegistryNumber(HKEY_LOCAL_MACHINE, L"Software\\Zandorel", L"n", -1), 3);
}

TEST_F(RegistryHelpersTest, ValueExistsAndTheDefaultValue) {
    Registry().CreateKey(L"HKCU\\Software\\NoDefault");
    Registry().SetString(L"HKCU\\Software\\WithDefault", L"", L"x");
    Registry().SetString(L"HKCU\\Software\\WithDefault", L"Named", L"");

    EXPECT_FALSE(RegistryValueExists(HKEY_CURRENT_USER, L"Software\\NoDefault", L"", false));
    EXPECT_TRUE(RegistryValueExists(HKEY_CURRENT_USER, L"Software\\WithDefault", L"", false));
    EXPECT_TRUE(RegistryValueExists(HKEY_CURRENT_USER, L"Software\\WithDefault", L"NAMED", false));
    EXPECT_FALSE(RegistryValueExists(HKEY_CURRENT_USER, L"Software\\WithDefault", L"Other", false));
    EXPECT_FALSE(RegistryValueExists(HKEY_CURRENT_USER, L"Software\\Missing", L"", false));
    EXPECT_FALSE(RegistryValueExists(nullptr, L"Software\\WithDefault", L"", false));
}

TEST_F(RegistryHelpersTest, ReadStringGivesTheDefaultOnlyWhenNothingCanBeRead) {
    const std::wstring key = L"HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion";
    Registry().SetString(key, L"ProductName", L"Windows 7");
    Registry().SetString(key, L"Empty", L"");
    SetBytes(key, L"NoData", REG_SZ, "");
    Registry().SetString(key, L"Exact", std::wstring(2048, L'x'));
    Registry().SetString(key, L"TooLong", std::wstring(2049, L'x'));
    const std::wstring sub = L"Software\\Microsoft\\Windows NT\\CurrentVersion";

    EXPECT_EQ(ReadRegistryString(HKEY_LOCAL_MACHINE, sub, L"ProductName", L"<UNKNOWN>", false),
              L"Windows 7");
    EXPECT_EQ(ReadRegistryString(HKEY_LOCAL_MACHINE, sub, L"Missing", L"<UNKNOWN>", false),
              L"<UNKNOWN>");
    EXPECT_EQ(ReadRegistryString(HKEY_LOCAL_MACHINE, L"Software\\Missing", L"ProductName",
                                 L"<UNKNOWN>", false),
              L"<UNKNOWN>");
    EXPECT_EQ(ReadRegistryString(HKEY_LOCAL_MACHINE, sub, L"Empty", L"<UNKNOWN>", false), L"");
    EXPECT_EQ(ReadRegistryString(HKEY_LOCAL_MACHINE, sub, L"NoData", L"<UNKNOWN>", false), L"");
    EXPECT_EQ(ReadRegistryString(HKEY_LOCAL_MACHINE, sub, L"Exact", L"-", false),
              std::wstring(2048, L'x'));
    EXPECT_EQ(ReadRegistryString(HKEY_LOCAL_MACHINE, sub, L"TooLong", L"-", false), L"-");
    EXPECT_EQ(ReadRegistryString(nullptr, sub, L"ProductName", L"-", false), L"-");
}

TEST_F(RegistryHelpersTest, ReadStringExpandsOnlyExpandableTexts) {
    const std::wstring key = L"HKCU\\Environment";
    Registry().SetString(key, L"Expand", L"%SystemRoot%\\system32", REG_EXPAND_SZ);
    Registry().SetString(key, L"Plain", L"%SystemRoot%\\system32");
    Registry().SetString(key, L"Unknown", L"%NoSuchVariable%\\x", REG_EXPAND_SZ);

    auto read = [](const wchar_t* p_Name) {
        return ReadRegistryString(HKEY_CURRENT_USER, L"Environment", p_Name, L"", false);
    };
    EXPECT_EQ(read(L"Expand"), L"C:\\windows\\system32");
    EXPECT_EQ(read(L"Plain"), L"%SystemRoot%\\system32");
    EXPECT_EQ(read(L"Unknown"), L"%NoSuchVariable%\\x");
}

TEST_F(RegistryHelpersTest, ReadStringReadsAnyTypeUpToItsFirstZeroByte) {
    const std::wstring key = L"HKCU\\Software\\Types";
    SetBytes(key, L"Multi", REG_MULTI_SZ, std::string("o\0n\0e\0\0\0t\0w\0o\0\0\0\0\0", 18));
    Registry().SetDword(key, L"Number", 0x00434241);
    SetBytes(key, L"Binary", REG_BINARY, std::string("hi\0there", 8));
    SetBytes(key, L"Unterminated", REG_SZ, std::string("a\0b\0", 4));

    auto read = [](const wchar_t* p_Name) {
        return ReadRegistryString(HKEY_CURRENT_USER, L"Software\\Types", p_Name, L"-", false);
    };
    EXPECT_EQ(read(L"Multi"), L"one");
    EXPECT_EQ(read(L"Number"), L"ABC");
    EXPECT_EQ(read(L"Binary"), L"hi");
    EXPECT_EQ(read(L"Unterminated"), L"ab");
}

TEST_F(RegistryHelpersTest, ReadNumberReplacesTheDefaultsLowBytes) {
    const std::wstring key = L"HKCU\\Software\\Numbers";
    Registry().SetDword(key, L"One", 1);
    Registry().SetDword(key, L"Minus", 0xFFFFFFFE);
    Registry().SetString(key, L"Short", L"7");
    SetBytes(key, L"Long", REG_BINARY, std::string(8, '\x11'));
    SetBytes(key, L"Byte", REG_BINARY, std::string(1, '\x05'));

    EXPECT_EQ(ReadRegistryNumber(HKEY_CURRENT_USER, L"Software\\Numbers", L"One", 0), 1);
    EXPECT_EQ(ReadRegistryNumber(HKEY_CURRENT_USER, L"Software\\Numbers", L"Minus", 0), -2);
    EXPECT_EQ(ReadRegistryNumber(HKEY_CURRENT_USER, L"Software\\Numbers", L"Missing", -1), -1);
    EXPECT_EQ(ReadRegistryNumber(HKEY_CURRENT_USER, L"Software\\Missing", L"One", 0), 0);
    EXPECT_EQ(ReadRegistryNumber(HKEY_CURRENT_USER, L"Software\\Numbers", L"Long", -1), -1);
    // "7" and its terminator replace the two low-order bytes of -1.
    EXPECT_EQ(ReadRegistryNumber(HKEY_CURRENT_USER, L"Software\\Numbers", L"Short", -1),
              static_cast<int32_t>(0xFFFF0037));
    EXPECT_EQ(ReadRegistryNumber(HKEY_CURRENT_USER, L"Software\\Numbers", L"Byte", 0x01020304),
              0x01020305);
}

TEST_F(RegistryHelpersTest, ExpandEnvironment) {
    EXPECT_EQ(ExpandEnvironment(L""), L"");
    EXPECT_EQ(ExpandEnvironment(L"%temp%\\x;%SystemRoot%"), L"C:\\temp\\x;C:\\windows");
    EXPECT_EQ(ExpandEnvironment(L"100% sure"), L"100% sure");
    // Longer than the first buffer: expanded in full.
    Machine().environment.emplace_back(L"LONG", std::wstring(1500, L'y'));
    EXPECT_EQ(ExpandEnvironment(L"a%LONG%b"), L"a" + std::wstring(1500, L'y') + L"b");
}
