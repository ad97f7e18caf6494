// `type FILE...`: copies files to the output; a UTF-16 file with its byte-order mark is
// converted to the machine's code page.
#include "sim/CommandSyntax.h"

#include "sim/Paths.h"

#include <fstream>
#include <sstream>

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

DWORD TypeCommand(const std::vector<std::wstring>& arguments, OutputTarget& output,
                  const CommandStreams& streams) {
    if (arguments.empty()) {
        streams.writeError("The syntax of the command is incorrect.\r\n");
        return 1;
    }
    DWORD exitCode = 0;
    for (const std::wstring& name : arguments) {
        ResolvedPath resolved = ResolveWindowsPath(name);
        std::string content;
        if (resolved.error != ERROR_SUCCESS || !resolved.exists || IsHostFolder(resolved.host) ||
            !ReadHostFile(resolved.host, content)) {
            streams.writeError(kFileNotFound);
            exitCode = 1;
            continue;
        }
        if (content.size() >= 2 && static_cast<unsigned char>(content[0]) == 0xFF &&
            static_cast<unsigned char>(content[1]) == 0xFE) {
            std::wstring text;
            for (size_t i = 2; i + 1 < content.size(); i += 2) {
                text += static_cast<wchar_t>(static_cast<unsigned char>(content[i]) |
                                             (static_cast<unsigned char>(content[i + 1]) << 8));
            }
            output.Write(CommandAnsi(text));
        } else {
            output.Write(content);
        }
    }
    return exitCode;
}

} // namespace sim
