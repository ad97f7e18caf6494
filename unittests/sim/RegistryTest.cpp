// The simulated registry: views of 64-bit Windows, the composed HKEY_CLASSES_ROOT, names,
// enumeration order and the ANSI sizes of the registry functions.
#include "sim/Registry.h"
#include "support/SimMachineTest.h"
#include "winapi/winapi_testing.h"

#include <algorithm>
#include <string>
#include <vector>

class SimRegistryTest : public SimMachineTest {
protected:
    sim::Registry& Registry() { return Machine().registry; }

    // The default-free text of a value read through the seam, or "<error N>".
    static std::string Read(HKEY root, const char* subKey, const char* value, REGSAM view = 0) {
        HKEY key = nullptr;
        LSTATUS status = RegOpenKeyExA(root, subKey, 0, KEY_READ | view, &key);
        if (status != ERROR_SUCCESS) {
            return "<error " + std::to_string(status) + ">";
        }
        char data[256] = {};
        DWORD size = sizeof data - 1;
        status =
            RegQueryValueExA(key, value, nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size);
        RegCloseKey(key);
        return status == ERROR_SUCCESS ? std::string(data)
                                       : "<error " + std::to_string(status) + ">";
    }

    static std::vector<std::string> Subkeys(HKEY root, const char* subKey, REGSAM view = 0) {
        std::vector<std::string> names;
        HKEY key = nullptr;
        if (RegOpenKeyExA(root, subKey, 0, KEY_READ | view, &key) != ERROR_SUCCESS) {
            return names;
        }
        char name[256];
        DWORD length = sizeof name;
        for (DWORD i = 0; RegEnumKeyExA(key, i, name, &length, nullptr, nullptr, nullptr,
                                        nullptr) == ERROR_SUCCESS;
             ++i, length = sizeof name) {
            names.push_back(name);
        }
        RegCloseKey(key);
        return names;
    }
};

TEST_F(SimRegistryTest, SixtyFourBitMachineRedirectsSoftwareForTheProgram) {
    Machine().is64Bit = true;
    Registry().SetString(L"HKLM\\Software\\Zandorel\\Setup", L"Where", L"native");
    Registry().SetString(L"HKLM\\Software\\Wow6432Node\\Zandorel\\Setup", L"Where", L"wow");

    EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, "Software\\Zandorel\\Setup", "Where"), "wow");
    EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, "Software\\Zandorel\\Setup", "Where", KEY_WOW64_32KEY),
              "wow");
    EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, "Software\\Zandorel\\Setup", "Where", KEY_WOW64_64KEY),
              "native");
    // The node can also be named outright.
    EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, "SOFTWARE\\WOW6432NODE\\Zandorel\\Setup", "Where"), "wow");

    // A key only in the native view is missing from the program's own.
    Registry().CreateKey(L"HKLM\\Software\\OnlyNative");
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\OnlyNative", 0, KEY_READ, &key),
              ERROR_FILE_NOT_FOUND);
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\OnlyNative", 0,
                            KEY_READ | KEY_WOW64_64KEY, &key),
              ERROR_SUCCESS);
    RegCloseKey(key);

    // Both views at once is a caller's mistake.
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software", 0,
                            KEY_READ | KEY_WOW64_64KEY | KEY_WOW64_32KEY, &key),
              ERROR_INVALID_PARAMETER);
}

TEST_F(SimRegistryTest, SharedKeysAndTheRestOfTheMachineAreOneCopy) {
    Machine().is64Bit = true;
    Registry().SetString(L"HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\x.exe",
                         L"", L"C:\\x.exe");
    Registry().SetString(L"HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts", L"Arial",
                         L"arial.ttf");
    Registry().SetString(L"HKLM\\Software\\Classes\\.xls", L"", L"Excel.Sheet.8");
    Registry().SetString(L"HKLM\\System\\CurrentControlSet\\Control", L"Where", L"system");
    Registry().SetString(L"HKCU\\Software\\Zandorel", L"Where", L"user");

    EXPECT_EQ(Read(HKEY_LOCAL_MACHINE,
                   "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\"
                   "x.exe",
                   ""),
              "C:\\x.exe");
    EXPECT_EQ(
        Read(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts", "Arial"),
        "arial.ttf");
    EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, "Software\\Classes\\.xls", ""), "Excel.Sheet.8");
    EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control", "Where"), "system");
    EXPECT_EQ(Read(HKEY_CURRENT_USER, "Software\\Zandorel", "Where"), "user");
    // The parent of a shared key is itself redirected.
    EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts",
                   "Arial", KEY_WOW64_64KEY),
              "arial.ttf");
    EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows NT\\CurrentVersion", "x"),
              "<error 2>");
}

TEST_F(SimRegistryTest, ClassRegistrationsAreRedirectedTypeLibrariesShared) {
    Machine().is64Bit = true;
    Registry().SetString(L"HKLM\\Software\\Classes\\Interface\\{I}", L"", L"native");
    Registry().SetString(L"HKLM\\Software\\Classes\\Wow6432Node\\Interface\\{I}", L"", L"wow");
    Registry().SetString(L"HKLM\\Software\\Classes\\TypeLib\\{T}", L"", L"shared");
    Registry().SetString(L"HKCU\\Software\\Classes\\Wow6432Node\\CLSID\\{C}", L"", L"user wow");

    EXPECT_EQ(Read(HKEY_CLASSES_ROOT, "Interface\\{I}", ""), "wow");
    EXPECT_EQ(Read(HKEY_CLASSES_ROOT, "Interface\\{I}", "", KEY_WOW64_64KEY), "native");
    EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, "Software\\Classes\\Interface\\{I}", ""), "wow");
    EXPECT_EQ(Read(HKEY_CLASSES_ROOT, "TypeLib\\{T}", ""), "shared");
    EXPECT_EQ(Read(HKEY_CLASSES_ROOT, "TypeLib\\{T}", "", KEY_WOW64_64KEY), "shared");
    EXPECT_EQ(Read(HKEY_CLASSES_ROOT, "CLSID\\{C}", ""), "user wow");
    EXPECT_EQ(Read(HKEY_CURRENT_USER, "Software\\Classes\\CLSID\\{C}", ""), "user wow");
    EXPECT_EQ(Read(HKEY_CLASSES_ROOT, "CLSID\\{C}", "", KEY_WOW64_64KEY), "<error 2>");
}

TEST_F(SimRegistryTest, ThirtyTwoBitMachineHasOneView) {
    Registry().SetString(L"HKLM\\Software\\Zandorel", L"Where", L"only");
    EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, "Software\\Zandorel", "Where"), "only");
    EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, "Software\\Zandorel", "Where", KEY_WOW64_64KEY), "only");
    EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, "Software\\Zandorel", "Where", KEY_WOW64_32KEY), "only");
}

TEST_F(SimRegistryTest, ClassesRootMergesTheUsersClassesOverTheMachines) {
    Registry().SetString(L"HKLM\\Software\\Classes\\.xls", L"", L"Excel.Sheet.8");
    Registry().SetString(L"HKLM\\Software\\Classes\\.txt", L"", L"txtfile");
    Registry().SetString(L"HKLM\\Software\\Classes\\.txt", L"Content Type", L"text/plain");
    Registry().SetString(L"HKCU\\Software\\Classes\\.txt", L"", L"userfile");
    Registry().SetString(L"HKLM\\Software\\Classes\\CLSID\\{A}", L"", L"machine A");
    Registry().SetString(L"HKLM\\Software\\Classes\\CLSID\\{B}", L"", L"machine B");
    Registry().SetString(L"HKLM\\Software\\Classes\\CLSID\\{B}\\InprocServer32", L"", L"b.dll");
    Registry().SetString(L"HKCU\\Software\\Classes\\CLSID\\{B}", L"", L"user B");
    Registry().SetString(L"HKCU\\Software\\Classes\\CLSID\\{C}", L"", L"user C");

    EXPECT_EQ(Read(HKEY_CLASSES_ROOT, ".xls", ""), "Excel.Sheet.8");
    // The user's key wins, and the machine's key of the same name does not show through.
    EXPECT_EQ(Read(HKEY_CLASSES_ROOT, ".txt", ""), "userfile");
    EXPECT_EQ(Read(HKEY_CLASSES_ROOT, ".txt", "Content Type"), "<error 2>");
    // Below CLSID the registrations merge one by one.
    EXPECT_EQ(Subkeys(HKEY_CLASSES_ROOT, "CLSID"), (std::vector<std::string>{"{A}", "{B}", "{C}"}));
    EXPECT_EQ(Read(HKEY_CLASSES_ROOT, "CLSID\\{A}", ""), "machine A");
    EXPECT_EQ(Read(HKEY_CLASSES_ROOT, "CLSID\\{B}", ""), "user B");
    EXPECT_EQ(Read(HKEY_CLASSES_ROOT, "CLSID\\{B}\\InprocServer32", ""), "<error 2>");
    EXPECT_EQ(Subkeys(HKEY_CLASSES_ROOT, ""), (std::vector<std::string>{".txt", ".xls", "CLSID"}));

    // New keys go to the machine's classes; values of a key the user has go to the user's.
    HKEY key = nullptr;
    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, ".new", 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                              &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_CREATED_NEW_KEY));
    RegCloseKey(key);
    EXPECT_NE(Registry().CreateKey(L"HKLM\\Software\\Classes").FindSubkey(L".new"), nullptr);
    ASSERT_EQ(RegOpenKeyExA(HKEY_CLASSES_ROOT, ".txt", 0, KEY_WRITE, &key), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key, "x", 0, REG_SZ, reinterpret_cast<const BYTE*>("1"), 2),
              ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_NE(Registry().CreateKey(L"HKCU\\Software\\Classes\\.txt").FindValue(L"x"), nullptr);
    // Below a key of the user's, new keys go to the user's classes and show through.
    ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, ".txt\\shell\\open", 0, nullptr, 0, KEY_WRITE,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key, "", 0, REG_SZ, reinterpret_cast<const BYTE*>("o"), 2),
              ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(Read(HKEY_CLASSES_ROOT, ".txt\\shell\\open", ""), "o");
    EXPECT_NE(Registry().CreateKey(L"HKCU\\Software\\Classes\\.txt").FindSubkey(L"shell"), nullptr);
}

TEST_F(SimRegistryTest, NamesIgnoreCaseKeepSpellingAndSortWithoutCase) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\MixedCase", 0, nullptr, 0, KEY_WRITE,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    for (const char* name : {"beta", "Alpha", "_under", "GAMMA"}) {
        HKEY sub = nullptr;
        ASSERT_EQ(RegCreateKeyExA(key, name, 0, nullptr, 0, KEY_WRITE, nullptr, &sub, nullptr),
                  ERROR_SUCCESS);
        RegCloseKey(sub);
    }
    // Values keep their creation order; setting one again keeps its place and first spelling.
    for (const char* name : {"Zeta", "alpha", "ZETA"}) {
        ASSERT_EQ(RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(name),
                                 static_cast<DWORD>(std::string(name).size() + 1)),
                  ERROR_SUCCESS);
    }
    RegCloseKey(key);

    // Windows compares upper-cased names, so "_" (after "Z") sorts last.
    EXPECT_EQ(Subkeys(HKEY_CURRENT_USER, "SOFTWARE\\mixedcase"),
              (std::vector<std::string>{"Alpha", "beta", "GAMMA", "_under"}));
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "software\\MIXEDCASE\\", 0, KEY_READ, &key),
              ERROR_SUCCESS);
    char name[32];
    DWORD length = sizeof name;
    ASSERT_EQ(RegEnumValueA(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr),
              ERROR_SUCCESS);
    EXPECT_STREQ(name, "Zeta");
    EXPECT_EQ(length, 4u);
    length = 3;
    EXPECT_EQ(RegEnumValueA(key, 1, name, &length, nullptr, nullptr, nullptr, nullptr),
              ERROR_MORE_DATA);
    length = sizeof name;
    EXPECT_EQ(RegEnumValueA(key, 2, name, &length, nullptr, nullptr, nullptr, nullptr),
              ERROR_NO_MORE_ITEMS);
    RegCloseKey(key);
    EXPECT_EQ(Read(HKEY_CURRENT_USER, "Software\\MixedCase", "zeta"), "ZETA");
}

TEST_F(SimRegistryTest, TextsAreKeptAsUtf16AndCrossInTheCodePage) {
    Registry().SetString(L"HKCU\\Software\\Texts", L"Price", L"5 \u20ac caf\u00e9");
    Registry().SetString(L"HKCU\\Software\\Texts", L"Greek", L"\u03b1");
    const sim::RegValue* value = Registry().CreateKey(L"HKCU\\Software\\Texts").FindValue(L"price");
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->data.size(), 18u); // 8 characters and the terminator, 2 bytes each

    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Texts", 0, KEY_READ, &key),
              ERROR_SUCCESS);
    DWORD size = 0;
    DWORD type = 0;
    // The size needed is the ANSI size, reported with ERROR_MORE_DATA and nothing written.
    BYTE small[4] = {'x', 'x', 'x', 'x'};
    size = sizeof small;
    EXPECT_EQ(RegQueryValueExA(key, "Price", nullptr, &type, small, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 9u);
    EXPECT_EQ(small[0], 'x');
    char data[32] = {};
    size = sizeof data;
    ASSERT_EQ(RegQueryValueExA(key, "Price", nullptr, &type, reinterpret_cast<BYTE*>(data), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(std::string(data), "5 \x80 caf\xe9");
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    size = sizeof data;
    ASSERT_EQ(
        RegQueryValueExA(key, "Greek", nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size),
        ERROR_SUCCESS);
    EXPECT_EQ(std::string(data), "?");
    RegCloseKey(key);

    // Written in ANSI, kept as UTF-16.
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Texts", 0, nullptr, 0, KEY_WRITE,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const char multi[] = "a\xe9\0b\0";
    ASSERT_EQ(RegSetValueExA(key, "Multi", 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(multi),
                             sizeof multi),
              ERROR_SUCCESS);
    RegCloseKey(key);
    value = Registry().CreateKey(L"HKCU\\Software\\Texts").FindValue(L"Multi");
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->data, std::string("a\0\xe9\0\0\0b\0\0\0\0\0", 12));
}

TEST_F(SimRegistryTest, HandlesAndPathsAreChecked) {
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExA(nullptr, "Software", 0, KEY_READ, &key), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegOpenKeyExA(reinterpret_cast<HKEY>(0x1234), "x", 0, KEY_READ, &key),
              ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCloseKey(reinterpret_cast<HKEY>(0x1234)), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCloseKey(HKEY_LOCAL_MACHINE), ERROR_SUCCESS);
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "\\Software", 0, KEY_READ, &key),
              ERROR_BAD_PATHNAME);

    // An empty subkey opens the root again; the new handle is one to close.
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "", 0, KEY_READ, &key), ERROR_SUCCESS);
    EXPECT_NE(key, HKEY_LOCAL_MACHINE);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);

    // A key deleted under an open handle is gone for the handle too.
    Registry().SetString(L"HKCU\\Software\\Doomed", L"v", L"1");
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Doomed", 0, KEY_READ, &key),
              ERROR_SUCCESS);
    ASSERT_EQ(RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Doomed"), ERROR_SUCCESS);
    EXPECT_EQ(RegQueryValueExA(key, "v", nullptr, nullptr, nullptr, nullptr), ERROR_KEY_DELETED);
    RegCloseKey(key);
    EXPECT_EQ(RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Doomed"), ERROR_FILE_NOT_FOUND);
}

TEST_F(SimRegistryTest, LinksLeadToTheirTargets) {
    Registry().SetString(L"HKLM\\System\\ControlSet001\\Control\\Nls\\CodePage", L"ACP", L"1252");
    Registry()
        .CreateKey(L"HKLM\\System\\CurrentControlSet")
        .SetLinkTarget(L"\\Registry\\Machine\\System\\ControlSet001");
    EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Nls\\CodePage", "ACP"),
              "1252");
    // A loop of links ends in "not found".
    Registry().CreateKey(L"HKLM\\Loop").SetLinkTarget(L"\\Registry\\Machine\\Loop");
    EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, "Loop\\x", "v"), "<error 2>");
}

TEST(RegistryKeyTest, ManyValuesKeepOrderAndCaselessLookup) {
    sim::RegKey key(L"k");
    for (int i = 0; i < 100; ++i) {
        key.SetValue(L"Value" + std::to_wstring(i), REG_DWORD, std::to_string(i));
    }
    key.SetValue(L"VALUE7", REG_SZ, "again");
    ASSERT_EQ(key.Values().size(), 100u);
    EXPECT_EQ(key.Values()[7].name, L"Value7");
    EXPECT_EQ(key.Values()[7].data, "again");
    EXPECT_TRUE(key.DeleteValue(L"value3"));
    EXPECT_FALSE(key.DeleteValue(L"value3"));
    EXPECT_EQ(key.FindValue(L"VALUE99")->data, "99");
    EXPECT_EQ(key.Values()[3].name, L"Value4");
    key.SetValue(L"Value3", REG_NONE, "back");
    EXPECT_EQ(key.Values().back().name, L"Value3");
    EXPECT_EQ(key.FindValue(L"value3")->data, "back");
}

// Every way a user's and a machine's key can share five names: the merged enumeration lists the
// union in order (the user's spelling where both have a name), and the user's values in creation
// order before the machine's that the user's key lacks.
TEST(RegistryKeyTest, MergedEnumerationIsTheUnionInOrder) {
    const std::wstring names[] = {L"a", L"B", L"c", L"D", L"e"};
    for (unsigned userSet = 0; userSet < 32; ++userSet) {
        for (unsigned machineSet = 0; machineSet < 32; ++machineSet) {
            sim::RegKey user(L"user");
            sim::RegKey machine(L"machine");
            std::vector<std::wstring> keys;
            std::vector<std::wstring> values;
            for (size_t i = 0; i < 5; ++i) {
                std::wstring upper = sim::UpperName(names[i]);
                if (userSet >> i & 1) {
                    user.CreateSubkey(names[i]);
                    user.SetValue(names[4 - i], REG_NONE, "");
                    keys.push_back(names[i]);
                    values.push_back(names[4 - i]);
                }
                if (machineSet >> i & 1) {
                    machine.CreateSubkey(upper);
                    machine.SetValue(upper, REG_NONE, "");
                    keys.push_back(userSet >> i & 1 ? std::wstring() : upper);
                }
            }
            for (size_t i = 0; i < 5; ++i) {
                if ((machineSet >> i & 1) && user.FindValue(names[i]) == nullptr) {
                    values.push_back(sim::UpperName(names[i]));
                }
            }
            keys.erase(std::remove(keys.begin(), keys.end(), std::wstring()), keys.end());
            std::vector<std::wstring> listedKeys;
            std::vector<std::wstring> listedValues;
            sim::RegKeyView view{&user, &machine};
            while (sim::RegKey* subkey = sim::Registry::SubkeyAt(view, listedKeys.size())) {
                listedKeys.push_back(subkey->Name());
            }
            while (const sim::RegValue* value = sim::Registry::ValueAt(view, listedValues.size())) {
                listedValues.push_back(value->name);
            }
            EXPECT_EQ(listedKeys, keys) << userSet << " " << machineSet;
            EXPECT_EQ(listedValues, values) << userSet << " " << machineSet;
        }
    }
}

TEST(RegistryPathTest, SplitsAtBackslashes) {
    std::vector<std::wstring> parts;
    EXPECT_TRUE(sim::SplitRegistryPath(L"A\\b c\\", parts));
    EXPECT_EQ(parts, (std::vector<std::wstring>{L"A", L"b c"}));
    EXPECT_TRUE(sim::SplitRegistryPath(L"", parts));
    EXPECT_TRUE(parts.empty());
    EXPECT_FALSE(sim::SplitRegistryPath(L"A\\\\B", parts));
    EXPECT_FALSE(sim::SplitRegistryPath(L"A\\\\", parts));
    EXPECT_FALSE(sim::SplitRegistryPath(L"\\A", parts));
}
