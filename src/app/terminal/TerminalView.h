// The main window's job done in a terminal, for a Linux machine without a display: the run
// starts at once, each section and the outcome are printed as the status label would show
// them, and the window is closed as its close box would close it.
#pragma once

#include "app/FormView.h"

#include <cstdio>

class TerminalView : public FormView {
public:
    explicit TerminalView(std::FILE* p_Output = stdout) : m_Output(p_Output) {}

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
};
