// A log file as support receives it: plain, or the only .txt in a .zip (read with libzip).
#pragma once

#include <functional>
#include <string>

namespace LogReader {

struct LogFileBytes {
    bool ok = false;
    std::string bytes;
    // Where the bytes came from inside a zip ("" for a plain file): "unzipped NAME".
    std::string unzipped;
    std::string error; // when not ok: why the file cannot be read
};

// A file's bytes; false with p_Error set when it cannot be read or is far too large for a log.
bool ReadFileBytes(const std::string& p_Path, std::string& p_Bytes, std::string& p_Error);

// Whether the bytes begin as a zip archive does.
bool IsZip(const std::string& p_Bytes);

// The log of a file: its bytes, or those of the one .txt in a zip.
LogFileBytes ReadLogFile(const std::string& p_Path);

// Every .txt entry of a zip's bytes, in the zip's order: p_Each(entry name, its bytes). Returns
// false with p_Error set when the archive cannot be read.
bool ForEachZipText(const std::string& p_Zip,
                    const std::function<void(const std::string&, const std::string&)>& p_Each,
                    std::string& p_Error);

} // namespace LogReader
