#include "app/MainModule.h"

#include "app/FormMain.h"
#include "platform/com.h"
#include "run/Diagnostics.h"

namespace MainModule {

int Main() {
    Utilities::ComApartment apartment;
    g_FormMain = std::make_unique<FormMain>(CreateFormView());
    g_FormMain->ShowDialog();
    int exitCode = g_FormMain->LastOutcome().empty() ? 0 : 1;
    Shutdown();
    return exitCode;
}

void CloseLastLog() {
    if (g_LogFile) {
        g_LogFile->CloseLogFile(false);
        g_LogFile->Dispose();
        g_LogFile.reset();
    }
}

void Shutdown() {
    CloseLastLog();
    if (!g_FormMain) {
        return;
    }
    g_FormMain->Unload();
    g_FormMain.reset();
}

} // namespace MainModule
