#include "app/MainModule.h"

#include "app/FormMain.h"
#include "platform/com.h"
#include "platform/files.h"
#include "platform/handles.h"
#include "platform/processes.h"
#include "run/Diagnostics.h"

#include <cstdint>

using namespace Utilities;

namespace {

// One instance per temporary folder: a second one would erase the first one's log and dump.
// The mutex is named in the global namespace, as two sessions can share a folder. A name can
// hold no backslash and is shorter than a path may be: it carries a hash of the folder's path
// in upper case (FNV-1a).
const wchar_t kInstanceMutexPrefix[] = L"Global\\Zanprobe7 instance ";

Text InstanceMutexName(const Text& p_Folder) {
    uint64_t hash = 14695981039346656037ull;
    for (wchar_t c : ToUpper(p_Folder)) {
        hash = (hash ^ static_cast<uint16_t>(c)) * 1099511628211ull;
    }
    Text name = kInstanceMutexPrefix;
    for (int shift = 60; shift >= 0; shift -= 4) {
        name += L"0123456789ABCDEF"[(hash >> shift) & 0xF];
    }
    return name;
}

// Whether another instance of the program runs with this temporary folder; otherwise
// p_Claim holds this instance's mutex for as long as it runs.
bool AnotherInstanceRuns(UniqueHandle& p_Claim) {
    Text folder = GetTempFolder();
    if (folder.empty()) {
        // The run says why it cannot write a log.
        return false;
    }
    HANDLE mutex = CreateNamedMutex(InstanceMutexName(folder));
    DWORD error = GetLastError();
    p_Claim.Reset(mutex);
    // Another user's instance (two sessions, one folder) made it: access to it is denied.
    return p_Claim.IsValid() ? error == ERROR_ALREADY_EXISTS : error == ERROR_ACCESS_DENIED;
}

} // namespace

namespace MainModule {

int Main() {
    UniqueHandle instance;
    if (AnotherInstanceRuns(instance)) {
        BringOtherInstanceToFront();
        return 0;
    }
    ComApartment apartment;
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
