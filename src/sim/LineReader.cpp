#include "sim/LineReader.h"

#include <algorithm>
#include <cstring>
#include <unistd.h>

namespace sim {

namespace {

const size_t kBufferSize = 64 * 1024;

} // namespace

bool LineReader::Next(std::string_view& line) {
    const void* newline = nullptr;
    while ((m_Position == m_Text.size() ||
            (newline = std::memchr(m_Text.data() + m_Position, '\n', m_Text.size() - m_Position)) ==
                nullptr) &&
           Refill()) {
    }
    if (m_Position >= m_Text.size()) {
        return false;
    }
    const char* start = m_Text.data() + m_Position;
    size_t length = newline == nullptr
                        ? m_Text.size() - m_Position
                        : static_cast<size_t>(static_cast<const char*>(newline) - start);
    m_Position += newline == nullptr ? length : length + 1;
    while (length > 0 && (start[length - 1] == '\r' || start[length - 1] == '\n')) {
        --length;
    }
    line = std::string_view(start, length);
    ++m_Number;
    return true;
}

bool LineReader::Refill() {
    if (m_Fd < 0 || m_Read == m_End) {
        return false;
    }
    // The unfinished line moves to the front; a line longer than the buffer makes it grow.
    size_t kept = m_Text.size() - m_Position;
    if (kept == m_Buffer.size()) {
        std::string larger(std::max(kBufferSize, 2 * m_Buffer.size()), '\0');
        larger.replace(0, kept, m_Text.substr(m_Position));
        m_Buffer.swap(larger);
    } else if (kept > 0) {
        std::memmove(&m_Buffer[0], m_Text.data() + m_Position, kept);
    }
    m_Base += m_Position;
    m_Position = 0;
    ssize_t got = ::pread(m_Fd, &m_Buffer[kept], std::min(m_Buffer.size() - kept, m_End - m_Read),
                          static_cast<off_t>(m_Read));
    if (got <= 0) {
        // A file that cannot be read on ends here.
        m_End = m_Read;
    } else {
        m_Read += static_cast<size_t>(got);
    }
    m_Text = std::string_view(m_Buffer.data(), kept + (got > 0 ? static_cast<size_t>(got) : 0));
    return got > 0;
}

} // namespace sim
