// The Windows program.
#include "app/MainModule.h"
#include "app/win32/MessageBoxView.h"
#include "winapi/winapi.h"

std::unique_ptr<FormView> CreateFormView() {
    return std::make_unique<MessageBoxView>();
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    return MainModule::Main();
}
