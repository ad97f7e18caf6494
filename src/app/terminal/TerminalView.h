// The main window's job done in a terminal, for a Linux machine without a display: the run
// starts at once, each section and the outcome are printed as the status label would show
// them, and the window is closed as its close box would close it. Quiet, it prints only the
// outcome: the status text the run ends with, and messages.
#pragma once

#include "app/FormView.h"

#include <cstdio>

class TerminalView : public FormView {
public:
    explicit TerminalView(std::FILE* p_Output = stdout, bool p_Quiet = false)
        : m_Output(p_Output), m_Quiet(p_Quiet) {}

    void ShowModal(FormMain& p_Form) override;
    void Hide() override {}
    void Unload() override {}
    void SetStatusText(const Text& p_Text) override;
    void Repaint() override {}
    void SetRuntimeLoggingCheck(int) override {}
    void SetBusyPointer(bool) override {}
    void ShowMessage(const Text& p_Message) override;
    void ShowInTaskbar() override {}

private:
    void Print(const Text& p_Text);

    std::FILE* m_Output;
    bool m_Quiet;
    // Quiet: the latest status text, printed once the run has ended.
    Text m_LastStatus;
};
