// The Windows program.
#include "app/MainModule.h"
#include "app/win32/Win32FormView.h"
#include "platform/libraries.h"
#include "winapi/winapi.h"

std::unique_ptr<FormView> CreateFormView() {
    return std::make_unique<Win32FormView>(GetModuleHandleW(nullptr));
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // Before anything can load a DLL: later loads come from the system folder only.
    Utilities::RestrictLibrarySearch();
    return MainModule::Main();
}
