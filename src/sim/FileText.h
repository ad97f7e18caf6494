// The text of a Wine registry file on the host, held for as long as it is needed.
#pragma once

#include <string>
#include <string_view>

namespace sim {

// A registry file, kept for as long as a key has lines of it not yet read. Wine replaces a
// registry file by renaming a new one into its place, unless the file is reached through a
// symbolic link or has other names (hard links): then it rewrites the file in place. Only a file
// that is replaced is mapped (read-only); a file cut short under a mapping could not be read on,
// so any other is copied.
class FileText {
public:
    FileText() = default;
    FileText(const FileText&) = delete;
    FileText& operator=(const FileText&) = delete;
    ~FileText();

    // Loads the file open as fd, found at path. False when it cannot be read (a folder where the
    // file should be, an I/O error).
    bool Load(int fd, const std::string& path);
    bool Mapped() const { return m_Mapped > 0; }
    std::string_view Text() const {
        return m_Mapped > 0 ? std::string_view(static_cast<const char*>(m_Data), m_Mapped)
                            : std::string_view(m_Copy);
    }

private:
    void* m_Data = nullptr;
    size_t m_Mapped = 0;
    std::string m_Copy;
};

} // namespace sim
