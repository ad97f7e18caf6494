// `type FILE...`: copies files to the output; a UTF-16 file with its byte-order mark is
// converted to the console's code page.
#include "sim/CommandInterpreter.h"

#include "sim/Paths.h"
#include "sim/Utf16.h"

#include <fstream>
#include <sstream>
#include <sys/stat.h>

namespace sim {

namespace {

const char kFileNotFound[] = "The system cannot find the file specified.\r\n";

bool ReadHostFile(const std::string& hostPath, std::string& content) {
    std::ifstream file(hostPath, std::ios::binary);
    if (!file) {
        return false;
    }
    std::ostringstream buffer;
    buffer << file.rdbuf();
    content = buffer.str();
    return true;
}

} // namespace

DWORD TypeCommand(const std::vector<std::wstring>& arguments, const CommandStreams& streams) {
    if (arguments.empty()) {
        streams.writeError("The syntax of the command is incorrect.\r\n");
        return 1;
    }
    DWORD exitCode = 0;
    for (const std::wstring& name : arguments) {
        ResolvedPath resolved = ResolveWindowsPath(name);
        std::string content;
        if (resolved.error != ERROR_SUCCESS || !resolved.exists || S_ISDIR(resolved.mode) ||
            !ReadHostFile(resolved.host, content)) {
            streams.writeError(kFileNotFound);
            exitCode = 1;
            continue;
        }
        if (content.size() >= 2 && static_cast<unsigned char>(content[0]) == 0xFF &&
            static_cast<unsigned char>(content[1]) == 0xFE) {
            streams.writeOutput(CommandAnsi(FromUtf16Le(content.substr(2))));
        } else {
            streams.writeOutput(content);
        }
    }
    return exitCode;
}

} // namespace sim
