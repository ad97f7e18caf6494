// The main window's state and handlers: running the diagnostics and switching the suite's
// runtime logging through its marker file.
#pragma once

#include "app/FormView.h"
#include "platform/unicode.h"

#include <memory>

class FormMain {
public:
    // Why the window is to be unloaded (Form_QueryUnload's mode): the close box, the system menu
    // or a close request; Windows ending the session.
    static constexpr int kUnloadFromControlMenu = 0;
    static constexpr int kUnloadFromWindows = 2;

    explicit FormMain(std::unique_ptr<FormView> p_View);
    ~FormMain();
    FormMain(const FormMain&) = delete;
    FormMain& operator=(const FormMain&) = delete;

    // Sets the checkbox from the marker file, shows the window modally; returns true.
    bool ShowDialog();
    // Sets the checkbox to the marker file's state without acting on the change.
    void RefreshRuntimeLoggingCheck();
    // "Run Tests"; nothing while a run is in progress.
    void CommandRun57Tests_Click();
    // Closing through the close box or system menu (mode 0) only hides the window; during a
    // run, once the run has ended.
    void Form_QueryUnload(bool& Cancel, int UnloadMode);
    // Windows ends the session and may end the process as soon as the view returns: the last
    // log is closed now, as Shutdown closes it (unless a run is still writing it), and the modal
    // display ends.
    void EndSession();
    // Whether the marker file exists.
    bool IsRuntimeLoggingOn();
    // Creates or deletes the marker file; tells the user when that did not work.
    void SetRuntimeLogging(bool p_Enable);
    // The first activation gives the window its taskbar button.
    void Form_Activate();
    // The checkbox was clicked (or set) to p_Value.
    void CheckRuntimeLogging_Click();
    // The user changed the checkbox: its new value, then the click handler.
    void CheckboxChanged(int p_Value);

    // The status label and the checkbox as the window shows them.
    void SetStatusText(const Text& p_Text);
    void Repaint();
    const Text& StatusText() const { return m_StatusText; }
    int RuntimeLoggingCheck() const { return m_CheckValue; }
    // The outcome of the last run ("" when it completed or none ran).
    const Text& LastOutcome() const { return m_LastOutcome; }

    // Unloads the window.
    void Unload();

    // The marker file's path.
    static Text MarkerFilePath();

private:
    // Sets the checkbox; like a click, a change raises the click handler.
    void SetCheckValue(int p_Value);

    std::unique_ptr<FormView> m_View;
    bool m_Activated = false;
    bool m_UpdatingCheck = false;
    bool m_Running = false;
    bool m_CloseAfterRun = false;
    int m_CheckValue = 0;
    Text m_StatusText;
    Text m_LastOutcome;
};

// The one main window; set by Main, cleared by Shutdown.
extern std::unique_ptr<FormMain> g_FormMain;
