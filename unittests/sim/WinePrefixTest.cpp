// Machines loaded from Wine prefixes: the registry files' format, problems with their line
// numbers, and the settings read from what the prefix holds.
#include "sim/WinePrefix.h"
#include "sim/Registry.h"
#include "support/SimMachineTest.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

class WinePrefixTest : public SimMachineTest {
protected:
    std::string Prefix() const { return m_Root + "/prefix"; }

    void Write(const std::string& name, const std::string& content) const {
        fs::create_directories(Prefix());
        std::ofstream(Prefix() + "/" + name, std::ios::binary) << content;
    }

    // Loads one file into a fresh tree.
    sim::RegKey& LoadFile(const std::string& content) {
        Write("test.reg", content);
        m_Tree = std::make_unique<sim::RegKey>(L"root");
        m_Problems.clear();
        m_Arch.clear();
        sim::LoadWineRegistryFile(Prefix() + "/test.reg", *m_Tree, m_Arch, m_Problems);
        return *m_Tree;
    }

    // Every key, value and link of a tree, and the file's problems and architecture, as text.
    std::wstring Described(sim::RegKey& key, const std::wstring& path = L"") const {
        std::wstring text = path + L" -> " + key.LinkTarget() + L"\n";
        for (const sim::RegValue& value : key.Values()) {
            text += value.name + L"=" + std::to_wstring(value.type) + L":" +
                    std::wstring(value.data.begin(), value.data.end()) + L"\n";
        }
        for (size_t i = 0; i < key.SubkeyCount(); ++i) {
            text += Described(key.Subkey(i), path + L"\\" + key.Subkey(i).Name());
        }
        if (path.empty()) {
            text += std::wstring(m_Arch.begin(), m_Arch.end()) + L"\n";
            for (const std::string& problem : m_Problems) {
                text += std::wstring(problem.begin(), problem.end()) + L"\n";
            }
        }
        return text;
    }

    static const sim::RegValue& Value(sim::RegKey& tree, const std::wstring& key,
                                      const std::wstring& name) {
        sim::RegKey* node = &tree;
        std::vector<std::wstring> parts;
        sim::SplitRegistryPath(key, parts);
        for (const std::wstring& part : parts) {
            node = node->FindSubkey(part);
            if (node == nullptr) {
                throw std::runtime_error("no key");
            }
        }
        const sim::RegValue* value = node->FindValue(name);
        if (value == nullptr) {
            throw std::runtime_error("no value");
        }
        return *value;
    }

    static std::wstring Text(const sim::RegValue& value) { return sim::FromUtf16Le(value.data); }

    std::unique_ptr<sim::RegKey> m_Tree;
    std::vector<std::string> m_Problems;
    std::string m_Arch;
};

const char kHeader[] = "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n";

TEST_F(WinePrefixTest, ValuesOfEveryFormWithEscapes) {
    sim::RegKey& tree = LoadFile(std::string(kHeader) +
                                 "#arch=win64\n"
                                 "\n"
                                 "[Software\\\\Zandorel\\\\Key \\[1\\]] 1700000000\n"
                                 "#time=1d9b0a6f1e2c3d4\n"
                                 "@=\"default\"\n"
                                 "\"Quote\\\"Back\\\\slash\"=\"C:\\\\Program Files\\\\\"\n"
                                 "\"Escapes\"=\"tab\\tnl\\ncr\\r\\x20ac\\xe9z\\0end\\101\\e\"\n"
                                 "\"Expand\"=str(2):\"%SystemRoot%\\\\temp\"\n"
                                 "\"Multi\"=str(7):\"one\\0two\\0\"\n"
                                 "\"Plain\"=str:\"plain\"\n"
                                 "\"Number\" = dword:0000ABCD\n"
                                 "\"Binary\"=hex:01,02,ff\n"
                                 "\"Long\"=hex(7):41,00,42,00,\\\n"
                                 "  43,00,00,00,\\\n"
                                 "  00,00\n"
                                 "\"Empty\"=hex(0):\n"
                                 "; a comment\n"
                                 "[Software\\\\Zandorel\\\\Other] 1700000000\n"
                                 "\"x\"=dword:1\n");
    EXPECT_TRUE(m_Problems.empty()) << m_Problems.front();
    EXPECT_EQ(m_Arch, "win64");
    const std::wstring key = L"Software\\Zandorel\\Key [1]";
    EXPECT_EQ(Text(Value(tree, key, L"")), std::wstring(L"default\0", 8));
    EXPECT_EQ(Text(Value(tree, key, L"Quote\"Back\\slash")),
              std::wstring(L"C:\\Program Files\\\0", 18));
    EXPECT_EQ(Text(Value(tree, key, L"Escapes")),
              std::wstring(L"tab\tnl\ncr\r\u20ac\u00e9z\0endA\x1b\0", 20));
    EXPECT_EQ(Value(tree, key, L"Expand").type, static_cast<DWORD>(REG_EXPAND_SZ));
    EXPECT_EQ(Text(Value(tree, key, L"Expand")), std::wstring(L"%SystemRoot%\\temp\0", 18));
    EXPECT_EQ(Value(tree, key, L"Multi").type, static_cast<DWORD>(REG_MULTI_SZ));
    EXPECT_EQ(Text(Value(tree, key, L"Multi")), std::wstring(L"one\0two\0\0", 9));
    EXPECT_EQ(Value(tree, key, L"Plain").type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(Value(tree, key, L"Number").type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(Value(tree, key, L"Number").data, std::string("\xcd\xab\0\0", 4));
    EXPECT_EQ(Value(tree, key, L"Binary").type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(Value(tree, key, L"Binary").data, "\x01\x02\xff");
    EXPECT_EQ(Text(Value(tree, key, L"Long")), std::wstring(L"ABC\0\0", 5));
    EXPECT_EQ(Value(tree, key, L"Empty").type, static_cast<DWORD>(REG_NONE));
    EXPECT_TRUE(Value(tree, key, L"Empty").data.empty());
    EXPECT_EQ(Value(tree, L"Software\\Zandorel\\Other", L"x").data, std::string("\1\0\0\0", 4));
    // Values keep the file's order.
    ASSERT_EQ(tree.FindSubkey(L"software")->FindSubkey(L"ZANDOREL")->SubkeyCount(), 2u);
}

TEST_F(WinePrefixTest, MalformedLinesAreReportedWithTheirNumbersAndSkipped) {
    sim::RegKey& tree = LoadFile(std::string(kHeader) +   // lines 1-3
                                 "[Good] 1\n"             // 4
                                 "\"a\"=dword:zz\n"       // 5
                                 "garbage\n"              // 6
                                 "\"b\"=\"fine\"\n"       // 7
                                 "\"c\"=hex:1g\n"         // 8
                                 "\"d\"=\"unterminated\n" // 9
                                 "\"e\"=weird:1\n"        // 10
                                 "[Broken\n"              // 11
                                 "\"lost\"=\"x\"\n"       // 12
                                 "[Next] 1\n"             // 13
                                 "\"f\" \"g\"\n"          // 14
                                 "\"h\"=dword:2\n");      // 15
    const std::string file = Prefix() + "/test.reg";
    EXPECT_EQ(m_Problems, (std::vector<std::string>{
                              file + ":5: malformed dword",
                              file + ":6: unrecognised line",
                              file + ":8: malformed hex data",
                              file + ":9: unterminated string",
                              file + ":10: unrecognised value data",
                              file + ":11: unterminated key name",
                              file + ":14: value without '='",
                          }));
    EXPECT_EQ(Text(Value(tree, L"Good", L"b")), std::wstring(L"fine\0", 5));
    EXPECT_EQ(tree.FindSubkey(L"Good")->Values().size(), 1u);
    EXPECT_EQ(Value(tree, L"Next", L"h").data, std::string("\2\0\0\0", 4));
    EXPECT_EQ(tree.SubkeyCount(), 2u);
}

TEST_F(WinePrefixTest, TruncatedFilesKeepWhatWasRead) {
    sim::RegKey& tree = LoadFile(std::string(kHeader) + "[Key] 1\n"
                                                        "\"a\"=\"kept\"\n"
                                                        "\"b\"=hex:01,02,\\\n"
                                                        "  03,\\\n");
    ASSERT_EQ(m_Problems.size(), 1u);
    EXPECT_EQ(m_Problems[0], Prefix() + "/test.reg:7: unexpected end of file in hex data");
    EXPECT_EQ(Text(Value(tree, L"Key", L"a")), std::wstring(L"kept\0", 5));
    EXPECT_EQ(tree.FindSubkey(L"Key")->FindValue(L"b"), nullptr);

    LoadFile(std::string(kHeader) + "[Key] 1\n\"a\"=\"cut sho");
    EXPECT_EQ(m_Problems,
              (std::vector<std::string>{Prefix() + "/test.reg:5: unterminated string"}));

    LoadFile("WINE REGISTRY Version 1\n[Key] 1\n");
    ASSERT_EQ(m_Problems.size(), 1u);
    EXPECT_EQ(m_Problems[0].rfind(Prefix() + "/test.reg:1: not a Wine registry file", 0), 0u);
    EXPECT_EQ(m_Tree->SubkeyCount(), 0u);

    LoadFile("");
    EXPECT_EQ(m_Problems.size(), 1u);
}

// Wine rewrites a registry file in place where it is reached through a symbolic link or has
// other names (hard links): cut short after loading, such a file still gives what it held.
TEST_F(WinePrefixTest, FilesRewrittenInPlaceKeepWhatWasLoaded) {
    for (bool symbolic : {true, false}) {
        Write("real.reg", std::string(kHeader) + "[Key\\\\Sub] 1\n\"a\"=\"kept\"\n");
        std::string path = Prefix() + "/linked.reg";
        fs::remove(path);
        symbolic ? fs::create_symlink(Prefix() + "/real.reg", path)
                 : fs::create_hard_link(Prefix() + "/real.reg", path);
        m_Tree = std::make_unique<sim::RegKey>(L"root");
        ASSERT_TRUE(sim::LoadWineRegistryFile(path, *m_Tree, m_Arch, m_Problems));
        std::ofstream(Prefix() + "/real.reg", std::ios::trunc) << "WINE";
        EXPECT_EQ(Text(Value(*m_Tree, L"Key\\Sub", L"a")), std::wstring(L"kept\0", 5)) << symbolic;
        EXPECT_TRUE(m_Problems.empty());
    }
}

// A large file is checked as it is read, a part at a time: lines across the parts, a line longer
// than a part and hex data continued across them give what the same text gives held whole (as a
// file with two names is held).
TEST_F(WinePrefixTest, LargeFilesReadInPartsAsIfWhole) {
    std::string text = kHeader;
    for (int key = 0; key < 3000; ++key) {
        text += "[Big\\\\K" + std::to_string(key) + "\\\\Sub] 1\n\"v\"=\"" +
                std::string(static_cast<size_t>(key % 97), 'x') + "\"\n\"h\"=hex:01,\\\n  02\n";
        if (key == 1500) {
            text += "\"long\"=\"" + std::string(700 * 1024, 'y') + "\"\n";
        }
    }
    text += "garbage\n";
    size_t lines = static_cast<size_t>(std::count(text.begin(), text.end(), '\n'));
    LoadFile(text);
    std::wstring read = Described(*m_Tree);
    EXPECT_EQ(m_Problems,
              (std::vector<std::string>{Prefix() + "/test.reg:" + std::to_string(lines) +
                                        ": unrecognised line"}));
    EXPECT_EQ(Value(*m_Tree, L"Big\\K1500\\Sub", L"long").data.size(), 2 * (700 * 1024 + 1));

    fs::create_hard_link(Prefix() + "/test.reg", Prefix() + "/whole.reg");
    m_Tree = std::make_unique<sim::RegKey>(L"root");
    m_Problems.clear();
    sim::LoadWineRegistryFile(Prefix() + "/whole.reg", *m_Tree, m_Arch, m_Problems);
    ASSERT_EQ(m_Problems.size(), 1u);
    m_Problems[0].replace(m_Problems[0].find("whole.reg"), 9, "test.reg");
    EXPECT_EQ(Described(*m_Tree), read);
}

// Values are read from the file's text when their key is first used: in the file's order, a key
// named twice in both parts, values set before the first read after the file's, the file itself
// no longer needed.
TEST_F(WinePrefixTest, ValuesReadLaterAsIfReadAtOnce) {
    sim::RegKey& tree = LoadFile(std::string(kHeader) + "[A] 1\n\"x\"=\"1\"\n\"y\"=\"2\"\n"
                                                        "[A\\\\Sub] 1\n\"z\"=dword:3\n"
                                                        "[A] 1\n\"x\"=\"again\"\n\"w\"=\"4\"\n");
    fs::remove(Prefix() + "/test.reg");
    sim::RegKey& a = *tree.FindSubkey(L"A");
    a.SetValue(L"Y", REG_SZ, sim::RegistryText(L"set"));
    std::vector<std::pair<std::wstring, std::wstring>> values;
    for (const sim::RegValue& value : a.Values()) {
        values.emplace_back(value.name, Text(value));
    }
    EXPECT_EQ(values, (std::vector<std::pair<std::wstring, std::wstring>>{
                          {L"x", std::wstring(L"again\0", 6)},
                          {L"y", std::wstring(L"set\0", 4)},
                          {L"w", std::wstring(L"4\0", 2)}}));
    EXPECT_EQ(Value(tree, L"A\\Sub", L"z").type, static_cast<DWORD>(REG_DWORD));
    EXPECT_TRUE(m_Problems.empty());
}

// A prefix as Wine leaves it, reduced to what the machine reads.
class WinePrefixMachineTest : public WinePrefixTest {
protected:
    void MakePrefix(const std::string& arch) {
        Write("system.reg",
              std::string("WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n") +
                  arch +
                  "\n[Software\\\\Microsoft\\\\Windows NT\\\\CurrentVersion] 1\n"
                  "\"SystemRoot\"=\"C:\\\\windows\"\n"
                  "\n[Software\\\\Wow6432Node\\\\Zandorel] 1\n"
                  "\"Where\"=\"wow\"\n"
                  // A link below the first levels, followed when its parent's subkeys are used.
                  "\n[Software\\\\Wow6432Node\\\\Zandorel\\\\Shared] 1\n"
                  "#link\n"
                  "\"SymbolicLinkValue\"=hex(6):5c,00,52,00,65,00,67,00,69,00,73,00,74,00,72,00,79,"
                  "00,5c,00,4d,00,61,00,63,00,68,00,69,00,6e,00,65,00,5c,"
                  "00,53,00,6f,00,66,00,74,00,77,00,61,00,72,00,65,00,5c,00,4d,00,69,00,63,00,72,"
                  "00,6f,00,73,00,6f,00,66,00,74,00\n"
                  "\n[System\\\\ControlSet001\\\\Control\\\\Nls\\\\CodePage] 1\n"
                  "\"ACP\"=\"1251\"\n"
                  "\n[System\\\\ControlSet001\\\\Control\\\\Session Manager\\\\Environment] 1\n"
                  "\"PATH\"=str(2):\"%SystemRoot%\\\\system32\"\n"
                  "\"TEMP\"=str(2):\"%SystemRoot%\\\\temp\"\n"
                  "\"windir\"=str(2):\"%SystemRoot%\"\n"
                  "\n[System\\\\CurrentControlSet] 1\n"
                  "#time=1d9b0a6f1e2c3d4\n"
                  "#link\n"
                  "\"SymbolicLinkValue\"=hex(6):5c,00,52,00,65,00,67,00,69,00,73,00,74,00,72,00,"
                  "79,00,\\\n"
                  "  5c,00,4d,00,61,00,63,00,68,00,69,00,6e,00,65,00,5c,00,53,00,79,00,73,00,74,"
                  "00,\\\n"
                  "  65,00,6d,00,5c,00,43,00,6f,00,6e,00,74,00,72,00,6f,00,6c,00,53,00,65,00,74,"
                  "00,\\\n"
                  "  30,00,30,00,31,00\n");
        Write(
            "user.reg",
            "WINE REGISTRY Version 2\n;; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n\n" +
                arch +
                "\n[Control Panel\\\\International] 1\n"
                "\"s1159\"=\"\"\n"
                "\"s2359\"=\"\"\n"
                "\"sShortDate\"=\"dd.MM.yyyy\"\n"
                "\"sTimeFormat\"=\"HH:mm:ss\"\n"
                "\n[Environment] 1\n"
                "\"PATH\"=\"C:\\\\tools\"\n"
                "\"TEMP\"=str(2):\"%USERPROFILE%\\\\AppData\\\\Local\\\\Temp\"\n"
                "\"TMP\"=str(2):\"%USERPROFILE%\\\\AppData\\\\Local\\\\Temp\"\n"
                "\n[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Explorer\\\\Shell "
                "Folders] 1\n"
                "\"AppData\"=\"C:\\\\users\\\\tester\\\\AppData\\\\Roaming\"\n"
                "\n[Volatile Environment] 1\n"
                "\"USERPROFILE\"=\"C:\\\\users\\\\tester\"\n");
        fs::create_directories(Prefix() + "/drive_c/windows");
        fs::create_directories(Prefix() + "/dosdevices");
        fs::create_symlink("../drive_c", Prefix() + "/dosdevices/c:");
        fs::create_symlink("/", Prefix() + "/dosdevices/z:");
        fs::create_symlink("/dev/ttyS0", Prefix() + "/dosdevices/com1");
    }
};

TEST_F(WinePrefixMachineTest, SettingsComeFromThePrefix) {
    MakePrefix("#arch=win64");
    std::vector<std::string> problems;
    std::unique_ptr<sim::Machine> machine = sim::LoadWinePrefix(Prefix(), problems);
    ASSERT_NE(machine, nullptr);
    EXPECT_TRUE(problems.empty()) << problems.front();

    EXPECT_TRUE(machine->is64Bit);
    EXPECT_EQ(machine->codePage, 1251u);
    EXPECT_EQ(machine->DriveRoot(L'c'), Prefix() + "/drive_c");
    EXPECT_EQ(machine->DriveRoot(L'Z'), "/");
    EXPECT_EQ(machine->windowsFolder, L"C:\\windows");
    EXPECT_EQ(machine->tempPath, L"C:\\users\\tester\\AppData\\Local\\Temp\\");
    EXPECT_EQ(machine->appDataFolder, L"C:\\users\\tester\\AppData\\Roaming");
    EXPECT_EQ(machine->shortDatePicture, L"dd.MM.yyyy");
    EXPECT_EQ(machine->longTimePicture, L"HH:mm:ss");
    EXPECT_EQ(machine->amDesignator, L"");
    auto variable = [&machine](const std::wstring& name) {
        for (const auto& entry : machine->environment) {
            if (sim::SameName(entry.first, name)) {
                return entry.second;
            }
        }
        return std::wstring(L"<unset>");
    };
    EXPECT_EQ(variable(L"windir"), L"C:\\windows");
    EXPECT_EQ(variable(L"Path"), L"C:\\windows\\system32;C:\\tools");
    EXPECT_EQ(variable(L"USERPROFILE"), L"C:\\users\\tester");
    EXPECT_EQ(variable(L"APPDATA"), L"C:\\users\\tester\\AppData\\Roaming");

    // The registry behind the settings, links and views included.
    sim::InstallMachine(std::move(machine));
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Nls\\CodePage",
                            0, KEY_READ, &key),
              ERROR_SUCCESS);
    RegCloseKey(key);
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Zandorel", 0, KEY_READ, &key),
              ERROR_SUCCESS);
    RegCloseKey(key);
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE,
                            "Software\\Wow6432Node\\Zandorel\\Shared\\Windows NT\\CurrentVersion",
                            0, KEY_READ, &key),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

TEST_F(WinePrefixMachineTest, ThirtyTwoBitPrefixAndMissingUserFile) {
    MakePrefix("#arch=win32");
    fs::remove(Prefix() + "/user.reg");
    std::vector<std::string> problems;
    std::unique_ptr<sim::Machine> machine = sim::LoadWinePrefix(Prefix(), problems);
    ASSERT_NE(machine, nullptr);
    EXPECT_FALSE(machine->is64Bit);
    EXPECT_EQ(problems, (std::vector<std::string>{Prefix() + "/user.reg: cannot be read"}));
    // Without the user's environment the machine's TEMP applies.
    EXPECT_EQ(machine->tempPath, L"C:\\windows\\temp\\");
}

TEST_F(WinePrefixMachineTest, FolderWithoutRegistryIsNoPrefix) {
    fs::create_directories(Prefix());
    std::vector<std::string> problems;
    EXPECT_FALSE(sim::IsWinePrefix(Prefix()));
    EXPECT_EQ(sim::LoadWinePrefix(Prefix(), problems), nullptr);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_NE(problems[0].find(Prefix()), std::string::npos);
}

// Keys are made when first used: a subkey looked up before its siblings are made finds what, and
// leaves the tree that, making them all at once would (the first spelling of a name kept, links,
// escaped names, keys named twice).
TEST_F(WinePrefixTest, KeysMadeWhenFirstUsedAsIfMadeAtOnce) {
    std::string file = kHeader;
    for (int i = 0; i < 120; ++i) {
        std::string n = std::to_string(i);
        file += "[Software\\\\Many\\\\K" + n + "] 1\n\"N\"=\"" + n + "\"\n";
        if (i % 10 == 7) {
            file += "[Software\\\\Many\\\\K" + n + "\\\\Deeper] 1\n\"D\"=\"" + n + "\"\n";
        }
    }
    file += "[Software\\\\Many\\\\abc] 1\n\"First\"=\"1\"\n"
            "[Software\\\\Many\\\\k5] 1\n\"Again\"=\"5\"\n"
            "[Software\\\\Many\\\\Link] 1\n#link\n\"SymbolicLinkValue\"=hex(6):5c,00\n"
            "[Software\\\\Many\\\\ABC] 1\n\"Second\"=\"2\"\n"
            "[Software\\\\Many\\\\A\\x42] 1\n[Software\\\\Many\\\\Caf\xe9] 1\n";
    std::wstring allAtOnce = Described(LoadFile(file));

    sim::RegKey& tree = LoadFile(file);
    sim::RegKey* many = tree.FindSubkey(L"SOFTWARE")->FindSubkey(L"many");
    ASSERT_NE(many, nullptr);
    EXPECT_EQ(many->FindSubkey(L"K120"), nullptr);
    ASSERT_NE(many->FindSubkey(L"K5"), nullptr);
    EXPECT_EQ(many->FindSubkey(L"k5")->Name(), L"K5");
    EXPECT_EQ(Text(Value(tree, L"Software\\Many\\K5", L"Again")), std::wstring(L"5\0", 2));
    EXPECT_EQ(Text(Value(tree, L"Software\\Many\\k107\\deeper", L"D")), std::wstring(L"107\0", 4));
    EXPECT_EQ(many->FindSubkey(L"ABC")->Name(), L"abc");
    EXPECT_EQ(Text(Value(tree, L"Software\\Many\\ABC", L"Second")), std::wstring(L"2\0", 2));
    EXPECT_EQ(many->FindSubkey(L"Link")->LinkTarget(), L"\\");
    EXPECT_EQ(many->FindSubkey(L"ab")->Name(), L"AB");
    EXPECT_EQ(many->FindSubkey(L"CAF\u00c9")->Name(), L"Caf\u00e9");
    EXPECT_EQ(Described(tree), allAtOnce);
}
