// `reg export KEY FILE [/y] [/reg:32 | /reg:64]`: the key's subtree into a .reg file, asking
// before it overwrites one.
#include "sim/CommandInterpreter.h"

#include "sim/FileAttributes.h"
#include "sim/Paths.h"
#include "sim/RegExport.h"

#include <fstream>

namespace sim {

namespace {

const char kPathNotFound[] = "The system cannot find the path specified.\r\n";
const char kRegistryEditingDisabled[] =
    "ERROR: Registry editing has been disabled by your administrator.\r\n";
const char kInvalidSyntax[] = "ERROR: Invalid syntax.\r\nType \"REG EXPORT /?\" for usage.\r\n";

} // namespace

DWORD RegExportCommand(const std::vector<std::wstring>& arguments, const CommandStreams& streams) {
    // The user policy "Prevent access to registry editing tools" stops reg too.
    if (UserPolicyValue("Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System",
                        "DisableRegistryTools") != 0) {
        streams.writeError(kRegistryEditingDisabled);
        return 1;
    }
    std::vector<std::wstring> names;
    bool overwrite = false;
    int view = 0;
    for (const std::wstring& argument : arguments) {
        std::wstring upper = UpperName(argument);
        if (upper == L"/Y") {
            overwrite = true;
        } else if (upper == L"/REG:32" || upper == L"/REG:64") {
            if (view != 0) {
                streams.writeError(kInvalidSyntax);
                return 1;
            }
            view = upper == L"/REG:32" ? 32 : 64;
        } else {
            names.push_back(argument);
        }
    }
    if (names.size() != 2) {
        streams.writeError(kInvalidSyntax);
        return 1;
    }
    ResolvedPath target = ResolveWindowsPath(names[1]);
    if (target.error != ERROR_SUCCESS) {
        streams.writeError("ERROR: " + std::string(kPathNotFound));
        return 1;
    }
    std::string exported;
    DWORD exitCode = 0;
    // A command started by the (32-bit) program reads the 32-bit view unless asked otherwise.
    REGSAM viewFlag = view == 64 ? KEY_WOW64_64KEY : (view == 32 ? KEY_WOW64_32KEY : 0);
    if (!ExportRegistryKey(names[0], exported, exitCode, viewFlag)) {
        streams.writeError(kRegExportMissingKey);
        return exitCode;
    }
    if (target.exists && !overwrite) {
        streams.writeOutput("File " + CommandAnsi(names[1]) +
                            " already exists. Overwrite (Yes/No)?");
        std::string answer;
        if (!streams.readLine || !streams.readLine(answer) ||
            (answer.empty() || (answer[0] != 'y' && answer[0] != 'Y'))) {
            streams.writeError("\r\nThe operation was cancelled.\r\n");
            return 1;
        }
    }
    if (target.exists && IsReadOnly(target.host)) {
        streams.writeError("ERROR: Access is denied.\r\n");
        return 1;
    }
    std::ofstream file(target.host, std::ios::binary | std::ios::trunc);
    file.write(exported.data(), static_cast<std::streamsize>(exported.size()));
    if (!file) {
        streams.writeError("ERROR: Access is denied.\r\n");
        return 1;
    }
    streams.writeOutput("The operation completed successfully.\r\n");
    return 0;
}

} // namespace sim
