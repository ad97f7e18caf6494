#include "app/FormMain.h"

#include "app/MainModule.h"
#include "platform/files.h"
#include "platform/processes.h"
#include "platform/textfile.h"
#include "report/SectionOutput.h"
#include "run/Diagnostics.h"
#include "winapi/winapi.h"

using namespace Utilities;

std::unique_ptr<FormMain> g_FormMain;

namespace {

const wchar_t kMarkerFileName[] = L"\\ZandorelLoggingDetail.txt";
const wchar_t kRunningCaption[] = L"Running Diagnostic Test";
const wchar_t kCompleted[] = L"Diagnostics Completed";
const wchar_t kLogLocation[] = L"The log file can be found at ";
const wchar_t kCouldNotTurnOn[] = L"Could not turn on runtime logging.";
const wchar_t kCouldNotTurnOff[] = L"Could not turn off runtime logging.";

} // namespace

// The status label shows each section heading of a run as it starts; while a command of the
// run is waited for, the window handles its messages.
FormMain::FormMain(std::unique_ptr<FormView> p_View) : m_View(std::move(p_View)) {
    Report::SetSectionListener([this](const Text& p_SectionName) {
        SetStatusText(Text(kRunningCaption) + L"\r\n" + p_SectionName);
        Repaint();
    });
    SetMessagePump([this] { m_View->PumpMessages(); });
}

FormMain::~FormMain() {
    SetMessagePump(nullptr);
    Report::SetSectionListener(nullptr);
}

Text FormMain::MarkerFilePath() {
    // Without a temporary folder there is no marker file, never one at the root of the drive.
    Text folder = GetTempFolder();
    return folder.empty() ? Text() : folder + kMarkerFileName;
}

bool FormMain::ShowDialog() {
    RefreshRuntimeLoggingCheck();
    m_View->ShowModal(*this);
    return true;
}

void FormMain::RefreshRuntimeLoggingCheck() {
    m_UpdatingCheck = true;
    SetCheckValue(IsRuntimeLoggingOn() ? 1 : 0);
    m_UpdatingCheck = false;
}

void FormMain::CommandRun57Tests_Click() {
    // The window handles its messages during a run: a second press belongs to no second run.
    if (m_Running) {
        return;
    }
    m_View->SetBusyPointer(true);
    m_Running = true;
    m_LastOutcome = Diagnostics::RunDiagnostics();
    m_Running = false;
    if (!m_LastOutcome.empty()) {
        SetStatusText(m_LastOutcome);
    } else {
        SetStatusText(Text(kCompleted) + L"\r\n" + kLogLocation + g_LogFile->LogFilePath());
    }
    m_View->SetBusyPointer(false);
    if (m_CloseAfterRun) {
        m_CloseAfterRun = false;
        m_View->Hide();
    }
}

void FormMain::Form_QueryUnload(bool& Cancel, int UnloadMode) {
    if (UnloadMode == kUnloadFromControlMenu) {
        Cancel = true;
        // During a run the window stays until the run has ended and closed its log.
        if (m_Running) {
            m_CloseAfterRun = true;
        } else {
            m_View->Hide();
        }
    }
}

void FormMain::EndSession() {
    if (!m_Running) {
        MainModule::CloseLastLog();
    }
    m_View->Hide();
}

bool FormMain::IsRuntimeLoggingOn() {
    return FileExists(MarkerFilePath());
}

void FormMain::SetRuntimeLogging(bool p_Enable) {
    if (p_Enable == IsRuntimeLoggingOn()) {
        return;
    }
    Text path = MarkerFilePath();
    if (path.empty()) {
        // Nothing can be switched: the message below says so.
    } else if (p_Enable) {
        AppendingFile created(path);
    } else {
        DeleteFileA(ToAnsi(path).c_str());
    }
    bool on = IsRuntimeLoggingOn();
    if (p_Enable && !on) {
        m_View->ShowMessage(kCouldNotTurnOn);
    } else if (!p_Enable && on) {
        m_View->ShowMessage(kCouldNotTurnOff);
    }
}

void FormMain::Form_Activate() {
    if (m_Activated) {
        return;
    }
    m_Activated = true;
    m_View->ShowInTaskbar();
}

void FormMain::CheckRuntimeLogging_Click() {
    if (m_UpdatingCheck) {
        return;
    }
    SetRuntimeLogging(m_CheckValue == 1);
    RefreshRuntimeLoggingCheck();
}

void FormMain::CheckboxChanged(int p_Value) {
    m_CheckValue = p_Value;
    CheckRuntimeLogging_Click();
}

void FormMain::SetCheckValue(int p_Value) {
    if (p_Value == m_CheckValue) {
        m_View->SetRuntimeLoggingCheck(p_Value);
        return;
    }
    m_CheckValue = p_Value;
    m_View->SetRuntimeLoggingCheck(p_Value);
    CheckRuntimeLogging_Click();
}

void FormMain::SetStatusText(const Text& p_Text) {
    m_StatusText = p_Text;
    m_View->SetStatusText(p_Text);
}

void FormMain::Repaint() {
    m_View->Repaint();
}

void FormMain::Unload() {
    m_View->Unload();
}
