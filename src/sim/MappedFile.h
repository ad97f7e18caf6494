// The text of a file read for the simulated machine: the file mapped read-only where that is
// safe, else copied.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace sim {

// Wine saves a registry file by writing a new one in its place, so a mapped text stays as it was
// loaded; a file that may be rewritten in place instead (a symbolic link, one with several hard
// links, not a regular file) is copied, as is one that cannot be mapped.
class MappedFile {
public:
    MappedFile() = default;
    ~MappedFile();
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    // False when the file cannot be opened or read.
    bool Open(const std::string& path);

    std::string_view Text() const {
        return m_Mapped != nullptr ? std::string_view(static_cast<const char*>(m_Mapped), m_Size)
                                   : std::string_view(m_Copy);
    }

    // Called as a reader moving through the text reaches offset: maps the pages ahead of it in
    // one call each window (rather than a page fault every few pages) and lets go of the pages
    // more than a window behind it, so that the process keeps no copy of what it has read.
    // Pages let go of are mapped in again when they are read again.
    void Reached(size_t offset) {
        if (offset >= m_NextWork) {
            MapAndLetGo(offset);
        }
    }

    // Lets go of the whole pages between two offsets (from any thread; they are mapped in again
    // when they are read again).
    void LetGo(size_t from, size_t to) const;

private:
    void MapAndLetGo(size_t offset);

    void* m_Mapped = nullptr;
    size_t m_Size = 0;
    size_t m_MappedAhead = 0;
    size_t m_LetGo = 0;
    // The first offset at which Reached has pages to map or to let go of.
    size_t m_NextWork = 0;
    std::string m_Copy;
};

} // namespace sim
