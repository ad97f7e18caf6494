// A stand-in for a program that the Windows program starts: it reports how it was started and
// does nothing else, or, as the environment variable ZANPROBE_PROBE says, behaves as a command
// interpreter that the user policy DisableCMD stops ("disabled": its message, a key read, exit
// code 1) or as a command that takes long ("sleep": five seconds). Each start appends one line
// to the report beside it (its own path with ".report.txt" in place of ".exe"):
//   cwd=<current folder> stdin=<state> stdout=<state> stderr=<state> line=<command line>
// where a state is "eof" (input that ends at once), "ok" (an output that takes a write) or
// "invalid:<error>" (a handle that means nothing in this process), "none" (no handle).
#include <windows.h>

#include <string>

namespace {

bool IsUsable(HANDLE handle) {
    // A handle value inherited from nowhere is no file; GetFileType tells without blocking.
    SetLastError(0);
    return GetFileType(handle) != FILE_TYPE_UNKNOWN || GetLastError() == 0;
}

std::string Error() {
    return "invalid:" + std::to_string(GetLastError());
}

std::string InputState(HANDLE handle) {
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) {
        return "none";
    }
    if (!IsUsable(handle)) {
        return Error();
    }
    char byte = 0;
    DWORD read = 0;
    if (!ReadFile(handle, &byte, 1, &read, nullptr)) {
        return GetLastError() == ERROR_BROKEN_PIPE ? "eof" : Error();
    }
    return read == 0 ? "eof" : "data";
}

std::string OutputState(HANDLE handle) {
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) {
        return "none";
    }
    if (!IsUsable(handle)) {
        return Error();
    }
    DWORD written = 0;
    if (!WriteFile(handle, "\n", 1, &written, nullptr) || written != 1) {
        return Error();
    }
    return "ok";
}

} // namespace

int main() {
    std::string report = "cwd=";
    char folder[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, folder);
    report += folder;
    report += " stdin=" + InputState(GetStdHandle(STD_INPUT_HANDLE));
    report += " stdout=" + OutputState(GetStdHandle(STD_OUTPUT_HANDLE));
    report += " stderr=" + OutputState(GetStdHandle(STD_ERROR_HANDLE));
    report += " line=";
    report += GetCommandLineA();
    report += "\r\n";

    char path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string reportPath(path, length);
    size_t dot = reportPath.find_last_of('.');
    reportPath = reportPath.substr(0, dot) + ".report.txt";
    HANDLE file = CreateFileA(reportPath.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return 2;
    }
    DWORD written = 0;
    WriteFile(file, report.data(), static_cast<DWORD>(report.size()), &written, nullptr);
    CloseHandle(file);

    char mode[32] = {};
    GetEnvironmentVariableA("ZANPROBE_PROBE", mode, sizeof mode);
    if (std::string(mode) == "disabled") {
        const char message[] = "The command prompt has been disabled by your administrator.\r\n"
                               "\r\nPress any key to continue . . .";
        WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), message, sizeof message - 1, &written, nullptr);
        char key = 0;
        ReadFile(GetStdHandle(STD_INPUT_HANDLE), &key, 1, &written, nullptr);
        return 1;
    }
    if (std::string(mode) == "sleep") {
        Sleep(5000);
    }
    return 0;
}
