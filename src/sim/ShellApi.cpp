// The shell of the simulated machine: "open" hands a file to the desktop's opener.
#include "sim/Ansi.h"
#include "sim/Machine.h"
#include "sim/Paths.h"

#include <cstdlib>
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

std::string FindOnPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::string folders = path != nullptr ? path : "/usr/bin:/bin";
    size_t start = 0;
    while (start <= folders.size()) {
        size_t end = folders.find(':', start);
        if (end == std::string::npos) {
            end = folders.size();
        }
        std::string candidate = folders.substr(start, end - start) + "/" + program;
        if (end > start && access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
        start = end + 1;
    }
    return "";
}

// Starts the opener detached (its own session, no terminal, not waited for), so that it can
// neither block the caller nor be left as a zombie.
void LaunchDetached(const std::string& program, const std::string& argument) {
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
            execl(program.c_str(), program.c_str(), argument.c_str(), static_cast<char*>(nullptr));
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
        std::string opener = FindOnPath("xdg-open");
        if (!opener.empty()) {
            LaunchDetached(opener, resolved.host);
        }
    }
    return Result(kShellOpened);
}
