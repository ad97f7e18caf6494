#include "sim/MappedFile.h"

#include <cstdint>

#include <algorithm>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sim {

namespace {

// The mapping ahead of a reader is mapped in by windows of this many bytes.
const size_t kWindow = size_t{8} << 20;

} // namespace

MappedFile::~MappedFile() {
    if (m_Mapped != nullptr) {
        munmap(m_Mapped, m_Size);
    }
}

bool MappedFile::Open(const std::string& path) {
    m_NextWork = 0;
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    struct stat link;
    struct stat info;
    if (lstat(path.c_str(), &link) == 0 && S_ISREG(link.st_mode) && link.st_nlink == 1 &&
        fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0) {
        void* mapped =
            mmap(nullptr, static_cast<size_t>(info.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
        if (mapped != MAP_FAILED) {
            m_Mapped = mapped;
            m_Size = static_cast<size_t>(info.st_size);
            ::close(fd);
            return true;
        }
    }
    char chunk[1 << 16];
    ssize_t read;
    while ((read = ::read(fd, chunk, sizeof chunk)) > 0) {
        m_Copy.append(chunk, static_cast<size_t>(read));
    }
    ::close(fd);
    // A read that fails (a folder where the file should be, an I/O error) is a file that cannot
    // be read, not an empty one.
    return read == 0;
}

void MappedFile::MapAndLetGo(size_t offset) {
    if (m_Mapped == nullptr) {
        m_NextWork = SIZE_MAX;
        return;
    }
    if (offset + kWindow / 2 > m_MappedAhead && m_MappedAhead < m_Size) {
#ifdef MADV_POPULATE_READ
        size_t length = std::min(kWindow, m_Size - m_MappedAhead);
        // Older kernels refuse the advice; the pages are then mapped as they are read.
        madvise(static_cast<char*>(m_Mapped) + m_MappedAhead, length, MADV_POPULATE_READ);
        m_MappedAhead += length;
#else
        m_MappedAhead = m_Size;
#endif
    }
    if (offset >= m_LetGo + 2 * kWindow) {
        size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
        size_t end = (offset - kWindow) / page * page;
        madvise(static_cast<char*>(m_Mapped) + m_LetGo, end - m_LetGo, MADV_DONTNEED);
        m_LetGo = end;
    }
    m_NextWork = m_LetGo + 2 * kWindow;
    if (m_MappedAhead < m_Size) {
        m_NextWork =
            std::min(m_NextWork,
                     m_MappedAhead + 1 > kWindow / 2 ? m_MappedAhead + 1 - kWindow / 2 : size_t{0});
    }
}

void MappedFile::LetGo(size_t from, size_t to) const {
    if (m_Mapped == nullptr) {
        return;
    }
    size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    size_t begin = (from + page - 1) / page * page;
    size_t end = std::min(to, m_Size) / page * page;
    if (begin < end) {
        madvise(static_cast<char*>(m_Mapped) + begin, end - begin, MADV_DONTNEED);
    }
}

} // namespace sim
