// Contract of the seam for the registry: value types and their sizes in the ANSI functions,
// missing keys and values, letter case, enumeration, HKEY_CLASSES_ROOT and the two views of
// 64-bit Windows. Every test writes below HKEY_CURRENT_USER\Software\ZanprobeContract\<test>
// (the views test below HKEY_LOCAL_MACHINE\Software\ZanprobeContract, where it may) and
// deletes what it wrote.
#include "contract/ContractFolder.h"
#include "winapi/winapi_testing.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

std::string TestName() {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    return test != nullptr ? test->name() : "test";
}

// A scratch key of the current user for one test, deleted with everything below it.
class ContractKey {
public:
    ContractKey() : m_Path("Software\\ZanprobeContract\\" + TestName()) {
        RegDeleteTreeA(HKEY_CURRENT_USER, m_Path.c_str());
        EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, m_Path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, &m_Key, nullptr),
                  ERROR_SUCCESS);
    }
    ~ContractKey() {
        RegCloseKey(m_Key);
        RegDeleteTreeA(HKEY_CURRENT_USER, m_Path.c_str());
        RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\ZanprobeContract");
    }
    ContractKey(const ContractKey&) = delete;
    ContractKey& operator=(const ContractKey&) = delete;

    HKEY Get() const { return m_Key; }
    const std::string& Path() const { return m_Path; }

    void Set(const char* name, DWORD type, const std::string& data) const {
        ASSERT_EQ(RegSetValueExA(m_Key, name, 0, type, reinterpret_cast<const BYTE*>(data.data()),
                                 static_cast<DWORD>(data.size())),
                  ERROR_SUCCESS);
    }
    void SetText(const char* name, const std::string& text, DWORD type = REG_SZ) const {
        Set(name, type, std::string(text.c_str(), text.size() + 1));
    }
    HKEY CreateSubkey(const std::string& name) const {
        HKEY key = nullptr;
        EXPECT_EQ(RegCreateKeyExA(m_Key, name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                  nullptr),
                  ERROR_SUCCESS);
        return key;
    }

private:
    std::string m_Path;
    HKEY m_Key = nullptr;
};

struct Query {
    LSTATUS status;
    DWORD type;
    DWORD size;
    std::string data;
};

// Queries a value into a buffer of `capacity` bytes that starts filled with 0x5A.
Query QueryValue(HKEY key, const char* name, DWORD capacity) {
    std::vector<BYTE> buffer(capacity + 1, 0x5A);
    Query query{0, 0xFFFF, capacity, ""};
    query.status = RegQueryValueExA(key, name, nullptr, &query.type, buffer.data(), &query.size);
    if (query.status == ERROR_SUCCESS) {
        query.data.assign(reinterpret_cast<const char*>(buffer.data()), query.size);
    } else {
        query.data.assign(reinterpret_cast<const char*>(buffer.data()), capacity);
    }
    return query;
}

} // namespace

TEST(RegistryContract, TextValuesAndTheirAnsiSizes) {
    ContractKey key;
    key.SetText("Text", "Hello");
    key.SetText("Empty", "");
    key.Set("NoData", REG_SZ, "");
    key.SetText("Exact", std::string(2048, 'x'));
    key.SetText("TooLong", std::string(2049, 'x'));
    key.SetText("Expand", "%SystemRoot%\\x", REG_EXPAND_SZ);
    key.Set("Multi", REG_MULTI_SZ, std::string("a\0bc\0\0", 6));

    Query text = QueryValue(key.Get(), "Text", 64);
    EXPECT_EQ(text.status, ERROR_SUCCESS);
    EXPECT_EQ(text.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(text.size, 6u);
    EXPECT_EQ(text.data, std::string("Hello\0", 6));

    Query empty = QueryValue(key.Get(), "Empty", 64);
    EXPECT_EQ(empty.status, ERROR_SUCCESS);
    EXPECT_EQ(empty.size, 1u);
    Query noData = QueryValue(key.Get(), "NoData", 64);
    EXPECT_EQ(noData.status, ERROR_SUCCESS);
    EXPECT_EQ(noData.size, 0u);

    // 2048 characters and the NUL fill a 2049-byte buffer exactly; one more does not fit,
    // nothing is copied and the size needed comes back (Windows may report the size of the
    // stored UTF-16 text there, never less than the ANSI size).
    Query exact = QueryValue(key.Get(), "Exact", 2049);
    EXPECT_EQ(exact.status, ERROR_SUCCESS);
    EXPECT_EQ(exact.size, 2049u);
    EXPECT_EQ(exact.data, std::string(2048, 'x') + '\0');
    Query tooLong = QueryValue(key.Get(), "TooLong", 2049);
    EXPECT_EQ(tooLong.status, ERROR_MORE_DATA);
    EXPECT_GE(tooLong.size, 2050u);

    // Expandable texts come back unexpanded; multi-strings with every NUL.
    Query expand = QueryValue(key.Get(), "Expand", 64);
    EXPECT_EQ(expand.type, static_cast<DWORD>(REG_EXPAND_SZ));
    EXPECT_EQ(expand.data, std::string("%SystemRoot%\\x\0", 15));
    Query multi = QueryValue(key.Get(), "Multi", 64);
    EXPECT_EQ(multi.type, static_cast<DWORD>(REG_MULTI_SZ));
    EXPECT_EQ(multi.data, std::string("a\0bc\0\0", 6));

    // Existence alone, and the size alone.
    EXPECT_EQ(RegQueryValueExA(key.Get(), "Text", nullptr, nullptr, nullptr, nullptr),
              ERROR_SUCCESS);
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExA(key.Get(), "Text", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
    EXPECT_GE(size, 6u);
}

TEST(RegistryContract, NumberAndBinaryValues) {
    ContractKey key;
    key.Set("Dword", REG_DWORD, std::string("\x01\0\0\0", 4));
    key.Set("Binary", REG_BINARY, std::string("\x00\xff\x10", 3));
    key.Set("Qword", REG_QWORD, std::string("\x01\x02\x03\x04\x05\x06\x07\x08", 8));

    Query dword = QueryValue(key.Get(), "Dword", 4);
    EXPECT_EQ(dword.status, ERROR_SUCCESS);
    EXPECT_EQ(dword.type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(dword.data, std::string("\x01\0\0\0", 4));
    Query binary = QueryValue(key.Get(), "Binary", 16);
    EXPECT_EQ(binary.type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(binary.data, std::string("\x00\xff\x10", 3));

    // Eight bytes do not fit a number's four: the size needed comes back, the buffer is
    // left alone.
    Query qword = QueryValue(key.Get(), "Qword", 4);
    EXPECT_EQ(qword.status, ERROR_MORE_DATA);
    EXPECT_EQ(qword.size, 8u);
    EXPECT_EQ(qword.type, static_cast<DWORD>(REG_QWORD));
}

TEST(RegistryContract, MissingKeysValuesAndBadArguments) {
    ContractKey key;
    HKEY opened = nullptr;
    std::string missing = key.Path() + "\\Missing";
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, missing.c_str(), 0, KEY_READ, &opened),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegQueryValueExA(key.Get(), "Missing", nullptr, nullptr, nullptr, nullptr),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(QueryValue(key.Get(), "", 16).status, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegOpenKeyExA(nullptr, "Software", 0, KEY_READ, &opened), ERROR_INVALID_HANDLE);
    // Asking for both views is refused on Windows; Wine opens the key in one of them.
    if (!RunsUnderWine()) {
        EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0,
                                KEY_READ | KEY_WOW64_32KEY | KEY_WOW64_64KEY, &opened),
                  ERROR_INVALID_PARAMETER);
    }

    // An empty subkey opens the key again: a new handle that must be closed.
    ASSERT_EQ(RegOpenKeyExA(key.Get(), "", 0, KEY_READ, &opened), ERROR_SUCCESS);
    EXPECT_NE(opened, key.Get());
    EXPECT_EQ(RegCloseKey(opened), ERROR_SUCCESS);

    // The default value exists once it is set.
    key.SetText("", "default");
    EXPECT_EQ(QueryValue(key.Get(), "", 16).data, std::string("default\0", 8));
    EXPECT_EQ(QueryValue(key.Get(), nullptr, 16).data, std::string("default\0", 8));
}

TEST(RegistryContract, NamesIgnoreLetterCaseAndKeepTheirSpelling) {
    ContractKey key;
    for (const char* name : {"beta", "Alpha", "GAMMA"}) {
        RegCloseKey(key.CreateSubkey(name));
    }
    key.SetText("ValueName", "v");

    std::string upper = key.Path() + "\\ALPHA";
    for (char& c : upper) {
        c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    }
    HKEY opened = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, upper.c_str(), 0, KEY_READ, &opened), ERROR_SUCCESS);
    RegCloseKey(opened);
    EXPECT_EQ(QueryValue(key.Get(), "VALUENAME", 16).data, std::string("v\0", 2));

    // Subkeys come out sorted without regard to case, in their own spelling.
    std::vector<std::string> names;
    char name[64];
    DWORD length = sizeof name;
    for (DWORD i = 0; RegEnumKeyExA(key.Get(), i, name, &length, nullptr, nullptr, nullptr,
                                    nullptr) == ERROR_SUCCESS;
         ++i, length = sizeof name) {
        EXPECT_EQ(length, std::string(name).size());
        names.push_back(name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"Alpha", "beta", "GAMMA"}));
    length = sizeof name;
    EXPECT_EQ(RegEnumKeyExA(key.Get(), 3, name, &length, nullptr, nullptr, nullptr, nullptr),
              ERROR_NO_MORE_ITEMS);
    length = 3;
    EXPECT_EQ(RegEnumKeyExA(key.Get(), 0, name, &length, nullptr, nullptr, nullptr, nullptr),
              ERROR_MORE_DATA);
}

TEST(RegistryContract, ValuesEnumerateInCreationOrder) {
    if (RunsUnderWine()) {
        // Wine keeps values sorted by name and enumerates them so; Windows keeps their order.
        GTEST_SKIP() << "Wine enumerates values alphabetically";
    }
    ContractKey key;
    for (const char* name : {"Zulu", "alpha", "Mike"}) {
        key.SetText(name, name);
    }
    std::vector<std::string> names;
    char name[64];
    DWORD length = sizeof name;
    for (DWORD i = 0; RegEnumValueA(key.Get(), i, name, &length, nullptr, nullptr, nullptr,
                                    nullptr) == ERROR_SUCCESS;
         ++i, length = sizeof name) {
        names.push_back(name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"Zulu", "alpha", "Mike"}));
}

TEST(RegistryContract, TextsCrossInTheAnsiCodePage) {
    if (GetACP() != 1252) {
        GTEST_SKIP() << "the machine's ANSI code page is " << GetACP();
    }
    ContractKey key;
    key.SetText("caf\xe9", "5 \x80");
    Query query = QueryValue(key.Get(), "CAF\xc9", 16);
    EXPECT_EQ(query.status, ERROR_SUCCESS);
    EXPECT_EQ(query.data, std::string("5 \x80\0", 4));
    EXPECT_EQ(query.size, 4u);
}

TEST(RegistryContract, ClassesRootShowsTheUsersClasses) {
    if (RunsUnderWine()) {
        // Wine's HKEY_CLASSES_ROOT is the machine's classes alone; Windows merges the user's
        // classes over them.
        GTEST_SKIP() << "Wine does not merge the user's classes into HKEY_CLASSES_ROOT";
    }
    ContractKey key;
    const std::string progId = "ZanprobeContract.Test";
    const std::string userPath = "Software\\Classes\\" + progId;
    HKEY user = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, userPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &user, nullptr),
              ERROR_SUCCESS);
    const char text[] = "user's";
    RegSetValueExA(user, "", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), sizeof text);
    RegCloseKey(user);

    HKEY merged = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CLASSES_ROOT, progId.c_str(), 0, KEY_READ, &merged),
              ERROR_SUCCESS);
    EXPECT_EQ(QueryValue(merged, "", 16).data, std::string(text, sizeof text));
    RegCloseKey(merged);
    RegDeleteTreeA(HKEY_CURRENT_USER, userPath.c_str());
}

namespace {

// Whether the machine is 64-bit Windows: it then keeps the 32-bit registry under Wow6432Node.
bool MachineHasTwoViews() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Wow6432Node", 0, KEY_READ | KEY_WOW64_64KEY,
                      &key) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

// Writes a value's text into a key created in one view; false when the machine's keys may
// not be written (Windows without administrator rights).
bool WriteInView(HKEY root, const std::string& path, REGSAM view, const std::string& text) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        return false;
    }
    RegSetValueExA(key, "", 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>(text.size() + 1));
    RegCloseKey(key);
    return true;
}

std::string ReadInView(HKEY root, const std::string& path, REGSAM view) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS) {
        return "<missing>";
    }
    Query query = QueryValue(key, "", 64);
    RegCloseKey(key);
    return query.status == ERROR_SUCCESS ? std::string(query.data.c_str()) : "<no value>";
}

void DeleteInView(HKEY root, const std::string& path, REGSAM view) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_ALL_ACCESS | view, &key) == ERROR_SUCCESS) {
        RegDeleteTreeA(key, nullptr);
        RegCloseKey(key);
        RegDeleteKeyExA(root, path.c_str(), view, 0);
    }
}

} // namespace

TEST(RegistryContract, TheTwoViewsOfSixtyFourBitWindows) {
    const std::string software = "Software\\ZanprobeContract";
    const std::string interfaceKey = "Interface\\{5A9E0B6C-0000-4000-8000-00000000C0DE}";
    const std::string typeLib = "TypeLib\\{5A9E0B6C-0000-4000-8000-00000000C0DE}";
    struct Place {
        HKEY root;
        std::string path;
        bool sharedOn64Bit;
    };
    const Place places[] = {{HKEY_LOCAL_MACHINE, software, false},
                            {HKEY_CLASSES_ROOT, interfaceKey, false},
                            {HKEY_CLASSES_ROOT, typeLib, true}};
    bool twoViews = MachineHasTwoViews();
    for (const Place& place : places) {
        SCOPED_TRACE(place.path);
        if (!WriteInView(place.root, place.path, KEY_WOW64_64KEY, "native") ||
            !WriteInView(place.root, place.path, KEY_WOW64_32KEY, "wow")) {
            GTEST_SKIP() << "the machine's keys may not be written";
        }
        // On 32-bit Windows, and for shared keys, the second write replaced the first.
        bool separate = twoViews && !place.sharedOn64Bit;
        EXPECT_EQ(ReadInView(place.root, place.path, KEY_WOW64_32KEY), "wow");
        EXPECT_EQ(ReadInView(place.root, place.path, KEY_WOW64_64KEY), separate ? "native" : "wow");
        DeleteInView(place.root, place.path, KEY_WOW64_32KEY);
        DeleteInView(place.root, place.path, KEY_WOW64_64KEY);
        EXPECT_EQ(ReadInView(place.root, place.path, KEY_WOW64_64KEY), "<missing>");
    }
}
