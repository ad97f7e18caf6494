#include "sim/LineReader.h"

namespace sim {

bool LineReader::Next(std::string_view& line) {
    if (m_Offset >= m_Text.size()) {
        return false;
    }
    size_t newline = m_Text.find('\n', m_Offset);
    size_t end = newline == std::string_view::npos ? m_Text.size() : newline;
    size_t length = end - m_Offset;
    while (length > 0 &&
           (m_Text[m_Offset + length - 1] == '\r' || m_Text[m_Offset + length - 1] == '\n')) {
        --length;
    }
    line = m_Text.substr(m_Offset, length);
    m_Offset = newline == std::string_view::npos ? end : end + 1;
    ++m_Number;
    return true;
}

} // namespace sim
