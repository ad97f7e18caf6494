// The suite component and ORVEX sections on simulated machines with a component table.
#include "checks/runtime/ComponentTests.h"
#include "checks/runtime/AtOrvexTests.h"
#include "report/SectionOutput.h"
#include "support/SectionTest.h"

namespace {

using LineList = std::vector<std::string>;

const wchar_t kUtilityClass[] = L"{6C1E0C11-7A2B-4C5D-9E01-000000000001}";
const wchar_t kGraphClass[] = L"{6C1E0C11-7A2B-4C5D-9E01-000000000002}";
const wchar_t kOrvexClass[] = L"{6C1E0C11-7A2B-4C5D-9E01-000000000003}";

} // namespace

class ComponentTestsTest : public SectionTest {
protected:
    void SetUp() override {
        SectionTest::SetUp();
        Machine().is64Bit = true;
    }
    void InstallLibrary() {
        Given().Suite("", "C:\\Zandorel\\System").File("C:\\Zandorel\\System\\ZanUtility7.dll");
    }
    void InstallBoth() {
        InstallLibrary();
        Given().ComClass(L"ZanUtility7.ZanUtil", kUtilityClass);
        Given().ComClass(L"ZanGraph7Server.ZGrGraph", kGraphClass).methods[L"Initialize"];
    }
    LineList Run() { return LinesOf(ComponentTests::RunSuiteComponentTests); }
};

TEST_F(ComponentTestsTest, BothComponentsPass) {
    InstallBoth();
    ComponentTests::RunSuiteComponentTests();
    EXPECT_EQ(Log(), Heading("MRL 7.x System Tests") + Line("ZanUtility7: Passed") +
                         Line("Plotworks7: Passed"));
    // The graph was initialised with its one call.
    EXPECT_EQ(Machine().comClasses[kGraphClass].calls, std::vector<std::wstring>{L"Initialize(0)"});
}

TEST_F(ComponentTestsTest, MissingLibraryFileAtTheRootWhenNoSystemDirectory) {
    Given().ComClass(L"ZanUtility7.ZanUtil", kUtilityClass);
    EXPECT_EQ(Run(),
              (LineList{"MRL 7.x System Tests", "ZanUtility7: File \\ZanUtility7.dll not found",
                        "Plotworks7: Test not run because ZanUtility7 test failed."}));
}

TEST_F(ComponentTestsTest, MissingLibraryFileInTheSystemDirectory) {
    Given().Suite("", "C:\\Zandorel\\System");
    EXPECT_EQ(Run()[1], "ZanUtility7: File C:\\Zandorel\\System\\ZanUtility7.dll not found");
}

TEST_F(ComponentTestsTest, UtilityNotCreatable) {
    InstallLibrary();
    // Not registered at all, registered without a server, and a server that fails.
    EXPECT_EQ(
        Run(),
        (LineList{
            "MRL 7.x System Tests",
            "ZanUtility7: Unable to create root ZanUtility7.ZanUtil object (Invalid class string "
            "(0x800401F3))",
            "Plotworks7: Test not run because ZanUtility7 test failed."}));
    Registry().SetString(L"HKCR\\ZanUtility7.ZanUtil\\CLSID", L"", kUtilityClass);
    EXPECT_EQ(Run()[1],
              "ZanUtility7: Unable to create root ZanUtility7.ZanUtil object (Class not registered "
              "(0x80040154))");
    Given().ComClass(L"ZanUtility7.ZanUtil", kUtilityClass).creationResult = E_FAIL;
    EXPECT_EQ(Run()[1],
              "ZanUtility7: Unable to create root ZanUtility7.ZanUtil object (Unspecified error "
              "(0x80004005))");
}

TEST_F(ComponentTestsTest, GraphMutexNotObtained) {
    InstallBoth();
    Machine().othersNonMutexObjects.push_back(L"ZandorelSurvivalMutex_PlotworksVersion7");
    EXPECT_EQ(Run(), (LineList{"MRL 7.x System Tests", "ZanUtility7: Passed",
                               "Plotworks7: Unable to create graph mutex."}));
    EXPECT_TRUE(Machine().comClasses[kGraphClass].calls.empty());
}

TEST_F(ComponentTestsTest, ExistingMutexIsOpenedAndTheTestGoesOn) {
    InstallBoth();
    Machine().othersMutexes.push_back(L"ZandorelSurvivalMutex_PlotworksVersion7");
    EXPECT_EQ(Run().back(), "Plotworks7: Passed");
}

TEST_F(ComponentTestsTest, GraphNotCreatable) {
    InstallLibrary();
    Given().ComClass(L"ZanUtility7.ZanUtil", kUtilityClass);
    EXPECT_EQ(
        Run(),
        (LineList{
            "MRL 7.x System Tests", "ZanUtility7: Passed",
            "Plotworks7: Unable to create ZanGraph7Server.ZGrGraph object (Invalid class string "
            "(0x800401F3))"}));
}

TEST_F(ComponentTestsTest, GraphInitializeFailsWithOneFailureLineAndAnEmptyResult) {
    InstallBoth();
    Machine().comClasses[kGraphClass].methods[L"Initialize"] = {static_cast<SCODE>(0x800A03E8),
                                                                L"No licence"};
    EXPECT_EQ(Run(),
              (LineList{"MRL 7.x System Tests", "ZanUtility7: Passed",
                        "<FAILURE> Unable to initialize test graph : No licence (0x800A03E8)",
                        "Plotworks7: "}));
}

class OrvexTestsTest : public ComponentTestsTest {
protected:
    void SetUp() override {
        ComponentTestsTest::SetUp();
        Registry().SetString(SoftwareKey(L"Zandorel\\ORVEX for Excel\\7.0"), L"Program Directory",
                             L"C:\\Program Files (x86)\\ORVEX");
    }
    void SetSwitch(const std::wstring& value) {
        Registry().SetString(L"HKCU\\Software\\Zandorel\\ORVEX for Excel\\7.0",
                             L"Disable Model Server", value);
    }
    std::string ServerLine() {
        LineList lines = LinesOf(AtOrvexTests::RunOrvexTests);
        return lines.size() == 3 ? lines[2] : "(" + std::to_string(lines.size()) + " lines)";
    }
};

TEST_F(OrvexTestsTest, NoSectionWithoutTheProgramDirectoryInTheProgramsView) {
    Registry().SetString(L"HKEY_LOCAL_MACHINE\\Software\\Zandorel\\ORVEX for Excel\\7.0",
                         L"Program Directory", L"C:\\Native");
    Registry()
        .CreateKey(SoftwareKey(L"Zandorel\\ORVEX for Excel\\7.0"))
        .DeleteValue(L"Program Directory");
    SetSwitch(L"True");
    AtOrvexTests::RunOrvexTests();
    EXPECT_EQ(Log(), "");
}

TEST_F(OrvexTestsTest, ServerCreatedWhenTheSwitchIsMissing) {
    Given().ComClass(L"OrvexModel7.Server", kOrvexClass);
    AtOrvexTests::RunOrvexTests();
    EXPECT_EQ(Log(), Heading("ORVEX 7.x Tests") +
                         Line("Directory = C:\\Program Files (x86)\\ORVEX") +
                         Line("OrvexModel.dll Test: Passed"));
}

TEST_F(OrvexTestsTest, SwitchValues) {
    Given().ComClass(L"OrvexModel7.Server", kOrvexClass).creationResult = REGDB_E_CLASSNOTREG;
    const std::string disabled =
        "OrvexModel.dll Test: Disabled via 'Disable Model Server' registry key.";
    const std::string createFailed =
        "OrvexModel.dll Test: Failed: Class not registered (0x80040154)";
    const std::string mismatch = "OrvexModel.dll Test: Failed: Type mismatch";
    for (const wchar_t* value : {L"True", L"tRUE", L"1", L"-1", L" 2.5 ", L"&H10"}) {
        SetSwitch(value);
        EXPECT_EQ(ServerLine(), disabled) << Utilities::ToUtf8(value);
    }
    for (const wchar_t* value : {L"False", L"FALSE", L"0", L"0.0"}) {
        SetSwitch(value);
        EXPECT_EQ(ServerLine(), createFailed) << Utilities::ToUtf8(value);
    }
    for (const wchar_t* value : {L"", L"Yes", L"ONE", L"1x"}) {
        SetSwitch(value);
        EXPECT_EQ(ServerLine(), mismatch) << Utilities::ToUtf8(value);
    } // A number is a number: 0 is false, anything else true.
    for (DWORD number : {1u, 0xFFFFFFFFu, 0u}) {
        Registry().SetDword(L"HKCU\\Software\\Zandorel\\ORVEX for Excel\\7.0",
                            L"Disable Model Server", number);
        EXPECT_EQ(ServerLine(), number != 0 ? disabled : createFailed) << number;
    }
}
