// A plain stand-in for the main window on Windows: runs the diagnostics at once and shows the
// outcome in a message box.
#pragma once

#include "app/FormView.h"

class MessageBoxView : public FormView {
public:
    void ShowModal(FormMain& p_Form) override;
    void Hide() override {}
    void Unload() override {}
    void SetStatusText(const Text&) override {}
    void Repaint() override {}
    void SetRuntimeLoggingCheck(int) override {}
    void SetBusyPointer(bool) override {}
    void ShowMessage(const Text& p_Message) override;
    void ShowInTaskbar() override {}
};
