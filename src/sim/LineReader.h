// Reads a text held in memory line by line, without a copy per line.
#pragma once

#include <cstring>
#include <string_view>

namespace sim {

class LineReader {
public:
    // Reads text from offset on, numbering its lines from there.
    explicit LineReader(std::string_view text, size_t offset = 0)
        : m_Text(text), m_Offset(offset), m_Number(0) {}

    // The next line without its line end; false at the end of the text.
    bool Next(std::string_view& line) {
        size_t size = m_Text.size();
        if (m_Offset >= size) {
            return false;
        }
        const char* start = m_Text.data() + m_Offset;
        const void* newline = std::memchr(start, '\n', size - m_Offset);
        size_t length = newline == nullptr
                            ? size - m_Offset
                            : static_cast<size_t>(static_cast<const char*>(newline) - start);
        m_Offset += newline == nullptr ? length : length + 1;
        while (length > 0 && (start[length - 1] == '\r' || start[length - 1] == '\n')) {
            --length;
        }
        line = std::string_view(start, length);
        ++m_Number;
        return true;
    }
    // The number of the line Next gave last, from 1.
    size_t Number() const { return m_Number; }
    // Where the next line begins.
    size_t Offset() const { return m_Offset; }

private:
    std::string_view m_Text;
    size_t m_Offset;
    size_t m_Number;
};

} // namespace sim
