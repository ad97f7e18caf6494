// reg export on the simulated machine, byte for byte.
#include "sim/RegExport.h"
#include "sim/Registry.h"
#include "support/SimMachineTest.h"

#include <string>

class RegExportTest : public SimMachineTest {
protected:
    sim::Registry& Registry() { return Machine().registry; }
    void Set(const std::wstring& key, const std::wstring& name, DWORD type,
             const std::string& data) {
        Registry().CreateKey(key).SetValue(name, type, data);
    }

    // The export decoded to one byte per character (the tests use ASCII only), after checking
    // that it is UTF-16LE with a byte-order mark.
    static std::string Export(const std::wstring& key, REGSAM view = 0) {
        std::string file;
        DWORD exitCode = 99;
        bool exported = sim::ExportRegistryKey(key, file, exitCode, view);
        EXPECT_EQ(exitCode, exported ? 0u : 1u);
        if (!exported) {
            EXPECT_TRUE(file.empty());
            return "<failed>";
        }
        EXPECT_EQ(file.substr(0, 2), "\xFF\xFE");
        std::string text;
        for (size_t i = 2; i + 1 < file.size(); i += 2) {
            EXPECT_EQ(file[i + 1], '\0');
            text += file[i];
        }
        return text;
    }

    static const std::string kHeader;
};

const std::string RegExportTest::kHeader = "Windows Registry Editor Version 5.00\r\n";

TEST_F(RegExportTest, SimpleKey) {
    Registry().SetDword(L"HKCU\\Software\\Wine\\reg_test", L"DWORD", 0x100);
    Registry().SetString(L"HKCU\\Software\\Wine\\reg_test", L"String", L"Your text here...");
    EXPECT_EQ(Export(L"HKEY_CURRENT_USER\\Software\\Wine\\reg_test"),
              kHeader + "\r\n[HKEY_CURRENT_USER\\Software\\Wine\\reg_test]\r\n"
                        "\"DWORD\"=dword:00000100\r\n"
                        "\"String\"=\"Your text here...\"\r\n\r\n");
}

TEST_F(RegExportTest, SubtreeDepthFirstWithValuesInCreationOrder) {
    const std::wstring base = L"HKLM\\Software\\Zandorel";
    Registry().SetString(base, L"Zulu", L"z");
    Registry().SetString(base, L"", L"default");
    Registry().SetString(base, L"alpha", L"a");
    Registry().CreateKey(base + L"\\b\\Empty");
    Registry().SetDword(base + L"\\A", L"n", 0xDEADBEEF);
    Registry().CreateKey(base + L"\\_last");

    EXPECT_EQ(Export(L"hklm\\SOFTWARE\\zandorel\\"),
              kHeader + "\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\zandorel]\r\n"
                        "\"Zulu\"=\"z\"\r\n"
                        "@=\"default\"\r\n"
                        "\"alpha\"=\"a\"\r\n"
                        "\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\zandorel\\A]\r\n"
                        "\"n\"=dword:deadbeef\r\n"
                        "\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\zandorel\\b]\r\n"
                        "\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\zandorel\\b\\Empty]\r\n"
                        "\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\zandorel\\_last]\r\n"
                        "\r\n");
}

TEST_F(RegExportTest, NamesAndStringsAreEscapedAndEndAtTheirFirstNul) {
    const std::wstring key = L"HKCU\\Software\\Escapes";
    Registry().SetString(key, L"double\"quote", L"\"quoted\"");
    Registry().SetString(key, L"\\foo\\bar", L"C:\\Program Files\\");
    Registry().SetString(key, L"backslash zero", L"\\0");
    Set(key, L"embedded", REG_SZ, sim::RegistryText(std::wstring(L"abc\0def", 7)));
    Set(key, L"no data", REG_SZ, "");
    Registry().SetString(key, L"[brackets]/slash", L"\u00e9");
    EXPECT_EQ(Export(L"HKCU\\Software\\Escapes"),
              kHeader + "\r\n[HKEY_CURRENT_USER\\Software\\Escapes]\r\n"
                        "\"double\\\"quote\"=\"\\\"quoted\\\"\"\r\n"
                        "\"\\\\foo\\\\bar\"=\"C:\\\\Program Files\\\\\"\r\n"
                        "\"backslash zero\"=\"\\\\0\"\r\n"
                        "\"embedded\"=\"abc\"\r\n"
                        "\"no data\"=\"\"\r\n"
                        "\"[brackets]/slash\"=\"\xe9\"\r\n\r\n");
}

TEST_F(RegExportTest, OtherTypesAsHexWithTheirTypeNumber) {
    const std::wstring key = L"HKCU\\Software\\Types";
    Registry().SetString(key, L"Expand", L"%PATH%", REG_EXPAND_SZ);
    Set(key, L"Binary", REG_BINARY, "\x01\x02\x03\x04\x05");
    Set(key, L"None", REG_NONE, "Va");
    Set(key, L"Qword", REG_QWORD, std::string("\x08\x07\x06\x05\x04\x03\x02\x01", 8));
    Set(key, L"Odd", 0x100, "\xff");
    Set(key, L"Big", 0xabcd, "");
    Set(key, L"EmptyMulti", REG_MULTI_SZ, "");
    Set(key, L"EmptyBinary", REG_BINARY, "");
    Set(key, L"EmptyDword", REG_DWORD, "");
    Set(key, L"ShortDword", REG_DWORD, "\x01\x02");
    EXPECT_EQ(Export(L"HKCU\\Software\\Types"),
              kHeader + "\r\n[HKEY_CURRENT_USER\\Software\\Types]\r\n"
                        "\"Expand\"=hex(2):25,00,50,00,41,00,54,00,48,00,25,00,00,00\r\n"
                        "\"Binary\"=hex:01,02,03,04,05\r\n"
                        "\"None\"=hex(0):56,61\r\n"
                        "\"Qword\"=hex(b):08,07,06,05,04,03,02,01\r\n"
                        "\"Odd\"=hex(100):ff\r\n"
                        "\"Big\"=hex(abcd):\r\n"
                        "\"EmptyMulti\"=hex(7):\r\n"
                        "\"EmptyBinary\"=hex:\r\n"
                        "\"EmptyDword\"=hex(4):\r\n"
                        "\"ShortDword\"=hex(4):01,02\r\n\r\n");
}

TEST_F(RegExportTest, HexLinesBreakAfterTheCommaThatReachesColumn77) {
    const std::wstring key = L"HKCU\\Software\\Wrap";
    Registry().CreateKey(key).SetValue(
        L"Multiple strings", REG_MULTI_SZ,
        sim::ToUtf16Le(std::wstring(L"Line1\0Line2\0Line3\0\0", 19)));
    // The default value's prefix is two characters; continuation lines hold 25 bytes.
    Set(key, L"", REG_BINARY, std::string(60, '\x11'));
    std::string eleven = "11,";
    auto repeat = [&eleven](int count) {
        std::string text;
        for (int i = 0; i < count; ++i) {
            text += eleven;
        }
        return text;
    };
    EXPECT_EQ(Export(L"HKCU\\Software\\Wrap"),
              kHeader +
                  "\r\n[HKEY_CURRENT_USER\\Software\\Wrap]\r\n"
                  "\"Multiple strings\"=hex(7):4c,00,69,00,6e,00,65,00,31,00,00,00,4c,00,69,"
                  "00,6e,\\\r\n"
                  "  00,65,00,32,00,00,00,4c,00,69,00,6e,00,65,00,33,00,00,00,00,00\r\n"
                  // 2 + 4 + 3 * 24 = 78 after the 24th byte.
                  "@=hex:" +
                  repeat(24) + "\\\r\n  " + repeat(25) + "\\\r\n  " + repeat(10) + "11\r\n\r\n");
    // A name past the column already: the line breaks after the first comma.
    Set(L"HKCU\\Software\\Wrap\\Long", std::wstring(80, L'n'), REG_BINARY, "\x11\x11\x11");
    EXPECT_EQ(Export(L"HKCU\\Software\\Wrap\\Long"),
              kHeader + "\r\n[HKEY_CURRENT_USER\\Software\\Wrap\\Long]\r\n\"" +
                  std::string(80, 'n') + "\"=hex:11,\\\r\n  11,11\r\n\r\n");
}

TEST_F(RegExportTest, MissingKeysAndUnknownRootsFail) {
    EXPECT_EQ(Export(L"HKEY_CURRENT_USER\\Software\\Missing"), "<failed>");
    EXPECT_EQ(Export(L"HKEY_CURRENT_CONFIG\\Software"), "<failed>");
    EXPECT_EQ(Export(L"HKCUX\\Software"), "<failed>");
    EXPECT_EQ(Export(L"Software\\Zandorel"), "<failed>");
    EXPECT_EQ(Export(L"HKCU\\Software", KEY_WOW64_32KEY | KEY_WOW64_64KEY), "<failed>");
    // A root alone exports the root.
    Registry().SetString(L"HKU\\.DEFAULT", L"v", L"1");
    EXPECT_EQ(Export(L"HKU"), kHeader + "\r\n[HKEY_USERS]\r\n"
                                        "\r\n[HKEY_USERS\\.DEFAULT]\r\n\"v\"=\"1\"\r\n\r\n");
}

TEST_F(RegExportTest, ViewsShowTheLogicalPath) {
    Machine().is64Bit = true;
    Registry().SetString(L"HKLM\\Software\\Wow6432Node\\Zandorel", L"Where", L"wow");
    Registry().SetString(L"HKLM\\Software\\Zandorel", L"Where", L"native");
    const std::string wow =
        kHeader + "\r\n[HKEY_LOCAL_MACHINE\\Software\\Zandorel]\r\n\"Where\"=\"wow\"\r\n\r\n";
    EXPECT_EQ(Export(L"HKEY_LOCAL_MACHINE\\Software\\Zandorel"), wow);
    EXPECT_EQ(Export(L"HKEY_LOCAL_MACHINE\\Software\\Zandorel", KEY_WOW64_32KEY), wow);
    EXPECT_EQ(Export(L"HKEY_LOCAL_MACHINE\\Software\\Zandorel", KEY_WOW64_64KEY),
              kHeader + "\r\n[HKEY_LOCAL_MACHINE\\Software\\Zandorel]\r\n"
                        "\"Where\"=\"native\"\r\n\r\n");
    // A key of the other view only is missing.
    Registry().CreateKey(L"HKLM\\Software\\NativeOnly");
    EXPECT_EQ(Export(L"HKLM\\Software\\NativeOnly"), "<failed>");
}

TEST_F(RegExportTest, ClassesRootExportsTheMergedView) {
    Registry().SetString(L"HKLM\\Software\\Classes\\CLSID\\{A}", L"", L"machine");
    Registry().SetString(L"HKCU\\Software\\Classes\\CLSID\\{B}", L"", L"user");
    EXPECT_EQ(Export(L"HKCR\\CLSID"), kHeader + "\r\n[HKEY_CLASSES_ROOT\\CLSID]\r\n"
                                                "\r\n[HKEY_CLASSES_ROOT\\CLSID\\{A}]\r\n"
                                                "@=\"machine\"\r\n"
                                                "\r\n[HKEY_CLASSES_ROOT\\CLSID\\{B}]\r\n"
                                                "@=\"user\"\r\n\r\n");
}

TEST_F(RegExportTest, LinksAreFollowedAndALoopEnds) {
    Registry().SetString(L"HKLM\\System\\ControlSet001\\Control", L"v", L"1");
    Registry()
        .CreateKey(L"HKLM\\System\\CurrentControlSet")
        .SetLinkTarget(L"\\Registry\\Machine\\System\\ControlSet001");
    EXPECT_EQ(Export(L"HKLM\\System\\CurrentControlSet"),
              kHeader + "\r\n[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet]\r\n"
                        "\r\n[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control]\r\n"
                        "\"v\"=\"1\"\r\n\r\n");

    Registry()
        .CreateKey(L"HKCU\\Software\\Loop\\Back")
        .SetLinkTarget(L"\\Registry\\User\\S-1-5-21-0-0-0-1000\\Software\\Loop");
    std::string looped = Export(L"HKCU\\Software\\Loop");
    EXPECT_EQ(looped.rfind(kHeader + "\r\n[HKEY_CURRENT_USER\\Software\\Loop]\r\n"
                                     "\r\n[HKEY_CURRENT_USER\\Software\\Loop\\Back]\r\n",
                           0),
              0u);
}
