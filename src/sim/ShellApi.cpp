// The shell of the simulated machine: "open" hands a file to the desktop's opener.
#include "sim/Ansi.h"
#include "sim/Machine.h"
#include "sim/Paths.h"

#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace sim;

namespace {

// ShellExecute's result codes: above 32 is success.
const intptr_t kShellOpened = 42;
const intptr_t kShellFileNotFound = 2;
const intptr_t kShellNoAssociation = 31;

// Starts the opener, found on PATH, detached (its own session, no terminal, not waited for), so
// that it can neither block the caller nor be left as a zombie; nothing happens without it.
void LaunchDetached(const char* program, const std::string& argument) {
    pid_t child = fork();
    if (child < 0) {
        return;
    }
    if (child == 0) {
        setsid();
        if (fork() == 0) {
            int null = open("/dev/null", O_RDWR);
            if (null >= 0) {
                dup2(null, 0);
                dup2(null, 1);
                dup2(null, 2);
            }
            execlp(program, program, argument.c_str(), static_cast<char*>(nullptr));
        }
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
}

HINSTANCE Result(intptr_t code) {
    return reinterpret_cast<HINSTANCE>(code);
}

} // namespace

HINSTANCE WINAPI ShellExecuteA(HWND, LPCSTR lpOperation, LPCSTR lpFile, LPCSTR, LPCSTR, INT) {
    std::wstring verb = FromAnsiArgument(lpOperation);
    if (!verb.empty() && verb != L"open") {
        return Result(kShellNoAssociation);
    }
    std::wstring file = FromAnsiArgument(lpFile);
    ResolvedPath resolved = ResolveWindowsPath(file);
    if (resolved.error != ERROR_SUCCESS || !resolved.exists) {
        return Result(kShellFileNotFound);
    }
    Machine& machine = CurrentMachine();
    machine.openedDocuments.push_back(file);
    machine.apartmentCalls.push_back("ShellExecuteA");
    if (machine.launchViewer) {
        LaunchDetached("xdg-open", resolved.host);
    }
    return Result(kShellOpened);
}
