#include "sim/FileText.h"

#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sim {

FileText::~FileText() {
    if (m_Mapped > 0) {
        ::munmap(m_Data, m_Mapped);
    }
}

bool FileText::Load(int fd, const std::string& path) {
    struct stat info;
    struct stat name;
    bool ok = fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    auto size = static_cast<size_t>(ok ? info.st_size : 0);
    if (size > 0 && lstat(path.c_str(), &name) == 0 && S_ISREG(name.st_mode) &&
        name.st_nlink == 1) {
        m_Data = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
        ok = m_Data != MAP_FAILED;
        m_Mapped = ok ? size : 0;
    } else if (ok) {
        // The size the file had when it was opened.
        m_Copy.resize(size);
        ssize_t got = 1;
        size_t have = 0;
        while (have < size && (got = ::read(fd, &m_Copy[have], size - have)) > 0) {
            have += static_cast<size_t>(got);
        }
        m_Copy.resize(have);
        ok = got >= 0;
    }
    return ok;
}

} // namespace sim
