// The Windows program.
#include "app/MainModule.h"
#include "app/win32/Win32FormView.h"
#include "platform/libraries.h"
#include "winapi/winapi.h"

std::unique_ptr<FormView> CreateFormView() {
    return std::make_unique<Win32FormView>(GetModuleHandleW(nullptr));
}

void BringOtherInstanceToFront() {
    HWND other = FindWindowW(Win32FormView::kWindowClass, nullptr);
    if (other == nullptr) {
        return;
    }
    if (IsIconic(other)) {
        ShowWindow(other, SW_RESTORE);
    }
    // Started by the user, this process may hand the foreground on.
    SetForegroundWindow(other);
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // Before anything can load a DLL: none is taken from the current folder.
    Utilities::RestrictLibrarySearch();
    return MainModule::Main();
}
