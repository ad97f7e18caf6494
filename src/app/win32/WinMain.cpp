// The Windows program.
#include "app/MainModule.h"
#include "app/win32/Win32FormView.h"
#include "winapi/winapi.h"

std::unique_ptr<FormView> CreateFormView() {
    return std::make_unique<Win32FormView>(GetModuleHandleW(nullptr));
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    return MainModule::Main();
}
