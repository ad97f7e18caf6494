#include "app/FormMain.h"
#include "app/MainModule.h"
#include "logformat/LogFormat.h"
#include "run/Diagnostics.h"
#include "support/FakeFormView.h"
#include "support/SimMachineTest.h"

#include <cstdio>

namespace {
const std::string kMarker = "C:\\users\\tester\\Temp\\ZandorelLoggingDetail.txt";
const std::string kLog = "C:\\users\\tester\\Temp\\Zanprobe7.txt";
} // namespace

class FormMainTest : public SimMachineTest {
protected:
    void TearDown() override {
        g_FormMain.reset();
        g_LogFile.reset();
        SimMachineTest::TearDown();
    }
    FakeFormView::Record record;
    std::unique_ptr<FormMain> NewForm(std::function<void(FormMain&)> whileShown = nullptr) {
        return std::make_unique<FormMain>(std::make_unique<FakeFormView>(record, whileShown));
    }
};

TEST_F(FormMainTest, CheckboxStartsFromTheMarkerFileWithoutTouchingIt) {
    WriteHostFile(kMarker, "keep");
    auto form = NewForm();
    form->ShowDialog();
    EXPECT_EQ(form->RuntimeLoggingCheck(), 1);
    EXPECT_EQ(record.checkValues.back(), 1);
    EXPECT_EQ(ReadHostFile(kMarker), "keep");
    EXPECT_TRUE(record.messages.empty());

    auto second = NewForm();
    ASSERT_EQ(std::remove(HostPath(kMarker).c_str()), 0);
    second->ShowDialog();
    EXPECT_EQ(second->RuntimeLoggingCheck(), 0);
    EXPECT_FALSE(HostFileExists(kMarker));
}

TEST_F(FormMainTest, CheckingAndUncheckingCreatesAndDeletesTheMarker) {
    auto form = NewForm();
    form->ShowDialog();
    form->CheckboxChanged(1);
    EXPECT_TRUE(HostFileExists(kMarker));
    EXPECT_EQ(ReadHostFile(kMarker), "");
    EXPECT_EQ(form->RuntimeLoggingCheck(), 1);
    form->CheckboxChanged(0);
    EXPECT_FALSE(HostFileExists(kMarker));
    EXPECT_EQ(form->RuntimeLoggingCheck(), 0);
    EXPECT_TRUE(record.messages.empty());
}

TEST_F(FormMainTest, MarkerThatCannotBeDeletedKeepsTheBoxChecked) {
    WriteHostFile(kMarker, "");
    auto form = NewForm();
    form->ShowDialog();
    HANDLE held = CreateFileA(kMarker.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    form->CheckboxChanged(0);
    CloseHandle(held);
    ASSERT_EQ(record.messages.size(), 1u);
    EXPECT_EQ(record.messages[0], L"Could not turn off runtime logging.");
    EXPECT_EQ(form->RuntimeLoggingCheck(), 1);
    EXPECT_EQ(record.checkValues.back(), 1);
    EXPECT_TRUE(HostFileExists(kMarker));
}

TEST_F(FormMainTest, MarkerThatCannotBeCreatedLeavesTheBoxUnchecked) {
    // A folder of the marker's name keeps the file from being created.
    MakeHostFolder(kMarker);
    auto form = NewForm();
    form->ShowDialog();
    form->CheckboxChanged(1);
    ASSERT_EQ(record.messages.size(), 1u);
    EXPECT_EQ(record.messages[0], L"Could not turn on runtime logging.");
    EXPECT_EQ(form->RuntimeLoggingCheck(), 0);
    EXPECT_EQ(record.checkValues.back(), 0);
}

TEST_F(FormMainTest, RunShowsWhereTheLogIsAndRestoresThePointer) {
    auto form = NewForm();
    form->CommandRun57Tests_Click();
    EXPECT_EQ(form->StatusText(), L"Diagnostics Completed\r\nThe log file can be found at "
                                  L"C:\\users\\tester\\Temp\\Zanprobe7.txt");
    EXPECT_EQ(record.pointers, (std::vector<bool>{true, false}));
}

TEST_F(FormMainTest, FailedRunShowsTheOutcome) {
    WriteHostFile(kLog, "old");
    MakeReadOnly(kLog);
    auto form = NewForm();
    form->CommandRun57Tests_Click();
    EXPECT_EQ(form->StatusText(), L"Diagnostics Failed: Unable to erase existing log file.");
    EXPECT_EQ(form->LastOutcome(), L"Diagnostics Failed: Unable to erase existing log file.");
    EXPECT_EQ(record.pointers, (std::vector<bool>{true, false}));
}

TEST_F(FormMainTest, CloseBoxOnlyHidesOtherReasonsUnload) {
    auto form = NewForm();
    bool cancel = false;
    form->Form_QueryUnload(cancel, 0);
    EXPECT_TRUE(cancel);
    EXPECT_EQ(record.hides, 1);
    cancel = false;
    form->Form_QueryUnload(cancel, 1);
    EXPECT_FALSE(cancel);
    EXPECT_EQ(record.hides, 1);
}

TEST_F(FormMainTest, OnlyTheFirstActivationAddsTheTaskbarButton) {
    auto form = NewForm();
    form->Form_Activate();
    form->Form_Activate();
    EXPECT_EQ(record.taskbarCalls, 1);
}

TEST_F(FormMainTest, ShutdownAfterARunAppendsASecondTerminatorBlock) {
    g_FormMain = NewForm([](FormMain& form) { form.CommandRun57Tests_Click(); });
    g_FormMain->ShowDialog();
    MainModule::Shutdown();
    std::string log = ReadHostFile(kLog);
    std::string block = LogFormat::TerminatorBlock();
    EXPECT_EQ(log.substr(log.size() - 2 * block.size()), block + block);
    EXPECT_FALSE(g_LogFile);
    EXPECT_FALSE(g_FormMain);
    EXPECT_EQ(record.unloads, 1);
}

// The window handles its messages during a run: "Run Tests" again starts no second run, and a
// close is carried out once the run has ended (and closed its log).
TEST_F(FormMainTest, DuringARunAClickStartsNothingAndACloseWaitsForTheEnd) {
    g_FormMain = NewForm([](FormMain& form) { form.CommandRun57Tests_Click(); });
    record.onRepaint = [this] {
        record.onRepaint = nullptr;
        g_FormMain->CommandRun57Tests_Click();
        bool cancel = false;
        g_FormMain->Form_QueryUnload(cancel, 0);
        EXPECT_TRUE(cancel);
        EXPECT_EQ(record.hides, 0);
    };
    g_FormMain->ShowDialog();
    EXPECT_EQ(record.hides, 1);
    EXPECT_EQ(record.pointers, (std::vector<bool>{true, false}));
    MainModule::Shutdown();
    std::string log = ReadHostFile(kLog);
    std::string block = "\r\n" + std::string(56, '-') + "\r\nDiagnostic Log Terminated\r\n";
    EXPECT_EQ(log.substr(log.size() - 2 * block.size()), block + block);
    EXPECT_EQ(log.find(block), log.size() - 2 * block.size());
}

TEST_F(FormMainTest, SessionEndClosesTheLogBeforeTheViewReturns) {
    g_FormMain = NewForm([](FormMain& form) {
        form.CommandRun57Tests_Click();
        form.EndSession();
    });
    g_FormMain->ShowDialog();
    std::string log = ReadHostFile(kLog);
    std::string block = LogFormat::TerminatorBlock();
    EXPECT_EQ(log.substr(log.size() - 2 * block.size()), block + block);
    EXPECT_EQ(record.hides, 1);
    MainModule::Shutdown();
    EXPECT_EQ(ReadHostFile(kLog), log);
}

TEST_F(FormMainTest, ShutdownWithoutARunWritesNoLog) {
    g_FormMain = NewForm();
    g_FormMain->ShowDialog();
    MainModule::Shutdown();
    EXPECT_FALSE(HostFileExists(kLog));
}

namespace {
int s_OtherInstanceCalls = 0;
// What the view of MainModule::Main does while it is shown.
std::function<void(FormMain&)> s_WhileShown;
} // namespace

void BringOtherInstanceToFront() {
    ++s_OtherInstanceCalls;
}

TEST_F(FormMainTest, SecondInstanceWithTheSameTemporaryFolderLeavesTheFirstAlone) {
    std::vector<int> nested;
    s_WhileShown = [&](FormMain& form) {
        form.CommandRun57Tests_Click();
        std::string log = ReadHostFile(kLog);
        // Started again while the first shows its window, the folder spelt either way.
        for (const wchar_t* folder : {L"C:\\users\\tester\\Temp\\", L"c:\\USERS\\TESTER\\temp\\"}) {
            Machine().tempPath = folder;
            nested.push_back(MainModule::Main());
        }
        EXPECT_EQ(ReadHostFile(kLog), log);
    };
    EXPECT_EQ(MainModule::Main(), 0);
    s_WhileShown = nullptr;
    EXPECT_EQ(nested, (std::vector<int>{0, 0}));
    EXPECT_EQ(s_OtherInstanceCalls, 2);
    EXPECT_EQ(Machine().openedDocuments.size(), 1u);
}

// The view that MainModule::Main creates in the unit tests: it presses "Run Tests" once, or
// does what the test asks.
std::unique_ptr<FormView> CreateFormView() {
    static FakeFormView::Record record;
    if (s_WhileShown) {
        return std::make_unique<FakeFormView>(record, s_WhileShown);
    }
    return std::make_unique<FakeFormView>(record,
                                          [](FormMain& form) { form.CommandRun57Tests_Click(); });
}

TEST_F(FormMainTest, MainReturnsZeroAfterACompleteRunAndOneAfterAFailedRun) {
    // A key to export, so that the run starts commands; every handle it opens is closed again.
    Machine().registry.SetString(L"HKCU\\Control Panel\\International", L"Locale", L"00000409");
    size_t handlesBefore = OpenHandles();
    EXPECT_EQ(MainModule::Main(), 0);
    EXPECT_NE(ReadHostFile(kLog).find("Registry entries for HKEY_CURRENT_USER"), std::string::npos);
    EXPECT_EQ(OpenHandles(), handlesBefore);
    // COM's apartment spans the program, the viewer's shell call included; the run's servers are
    // released after it.
    EXPECT_EQ(Machine().apartmentCalls,
              (std::vector<std::string>{"CoInitializeEx(6)", "ShellExecuteA",
                                        "CoFreeUnusedLibraries", "CoUninitialize"}));
    EXPECT_FALSE(g_FormMain);
    EXPECT_FALSE(g_LogFile);
    MakeReadOnly(kLog);
    EXPECT_EQ(MainModule::Main(), 1);
}
