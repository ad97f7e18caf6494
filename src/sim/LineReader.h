// Reads a text held in memory line by line, without a copy per line.
#pragma once

#include <string_view>

namespace sim {

class LineReader {
public:
    // Reads text from offset on, whose line there has the number firstLine.
    explicit LineReader(std::string_view text, size_t offset = 0, size_t firstLine = 1)
        : m_Text(text), m_Offset(offset), m_Number(firstLine - 1) {}

    // The next line without its line end; false at the end of the text.
    bool Next(std::string_view& line);
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
