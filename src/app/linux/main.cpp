// The Linux program: the diagnostics on the simulated Windows machine.
#include "app/MainModule.h"
#include "app/terminal/TerminalView.h"

#include <clocale>

std::unique_ptr<FormView> CreateFormView() {
    return std::make_unique<TerminalView>();
}

int main() {
    std::setlocale(LC_CTYPE, "C.UTF-8");
    return MainModule::Main();
}
