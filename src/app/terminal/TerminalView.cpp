#include "app/terminal/TerminalView.h"

#include "app/FormMain.h"

using namespace Utilities;

void TerminalView::ShowModal(FormMain& p_Form) {
    if (!m_Quiet) {
        Print(p_Form.RuntimeLoggingCheck() == 1 ? L"Runtime logging is on"
                                                : L"Runtime logging is off");
    }
    p_Form.CommandRun57Tests_Click();
    if (m_Quiet && !m_LastStatus.empty()) {
        Print(m_LastStatus);
    }
    bool cancel = false;
    p_Form.Form_QueryUnload(cancel, 0);
}

void TerminalView::SetStatusText(const Text& p_Text) {
    if (m_Quiet) {
        m_LastStatus = p_Text;
        return;
    }
    Print(p_Text);
}

void TerminalView::ShowMessage(const Text& p_Message) {
    Print(p_Message);
}

void TerminalView::Print(const Text& p_Text) {
    Text text;
    for (size_t i = 0; i < p_Text.size(); ++i) {
        if (p_Text[i] == L'\r' && i + 1 < p_Text.size() && p_Text[i + 1] == L'\n') {
            continue;
        }
        text += p_Text[i];
    }
    std::fputs((ToUtf8(text) + "\n").c_str(), m_Output);
    std::fflush(m_Output);
}
