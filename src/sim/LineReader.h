// Reads a text line by line, without a copy per line: a text held in memory, or the first bytes
// of a file, read through one buffer as `cat` reads a file (a pass over a large file then touches
// the same few pages of memory again and again, instead of every page of the file).
#pragma once

#include <string>
#include <string_view>

namespace sim {

class LineReader {
public:
    // Reads text from offset on, numbering its lines from there.
    explicit LineReader(std::string_view text, size_t offset = 0)
        : m_Text(text), m_Position(offset) {}
    // Reads the first `size` bytes of an open file; offsets are the file's.
    LineReader(int fd, size_t size) : m_Fd(fd), m_End(size) {}

    // The next line without its line end; false at the end of the text. The line is valid until
    // the next call.
    bool Next(std::string_view& line);
    // The number of the line Next gave last, from 1.
    size_t Number() const { return m_Number; }
    // Where the next line begins.
    size_t Offset() const { return m_Base + m_Position; }
    // Where a character of the line Next gave last is.
    size_t OffsetOf(const char* at) const {
        return m_Base + static_cast<size_t>(at - m_Text.data());
    }

private:
    // Reads more of the file after what is left of the buffer; false at its end.
    bool Refill();

    std::string_view m_Text;
    size_t m_Position = 0;
    size_t m_Number = 0;
    // The file, the offset of m_Text in it, how much of it has been read and where to stop.
    int m_Fd = -1;
    size_t m_Base = 0;
    size_t m_Read = 0;
    size_t m_End = 0;
    std::string m_Buffer;
};

} // namespace sim
