#include "app/win32/MessageBoxView.h"

#include "app/FormMain.h"
#include "winapi/winapi.h"

namespace {
const wchar_t kTitle[] = L"Zandorel Diagnostic Tools for MRL 7.X";
}

void MessageBoxView::ShowModal(FormMain& p_Form) {
    p_Form.CommandRun57Tests_Click();
    ShowMessage(p_Form.StatusText());
}

void MessageBoxView::ShowMessage(const Text& p_Message) {
    MessageBoxW(nullptr, p_Message.c_str(), kTitle, MB_OK);
}
