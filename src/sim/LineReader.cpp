#include "sim/LineReader.h"

#include <algorithm>
#include <cstring>
#include <unistd.h>

namespace sim {

namespace {

const size_t kBufferSize = 64 * 1024;

} // namespace

bool LineReader::Next(std::string_view& line) {
    size_t newline;
    while ((newline = m_Text.find('\n', m_Position)) == std::string_view::npos && Refill()) {
    }
    if (m_Position >= m_Text.size()) {
        return false;
    }
    size_t end = newline == std::string_view::npos ? m_Text.size() : newline;
    line = m_Text.substr(m_Position, end - m_Position);
    m_Position = newline == std::string_view::npos ? end : end + 1;
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) {
        line.remove_suffix(1);
    }
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
    size_t added = got > 0 ? static_cast<size_t>(got) : 0;
    // A file that cannot be read on ends here.
    m_End = added > 0 ? m_End : m_Read;
    m_Read += added;
    m_Text = std::string_view(m_Buffer.data(), kept + added);
    return added > 0;
}

} // namespace sim
