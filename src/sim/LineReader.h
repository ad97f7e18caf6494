// Reads a text file line by line through one buffer, without a copy per line.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

class LineReader {
public:
    explicit LineReader(const std::string& path);
    ~LineReader();
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    bool IsOpen() const { return m_File != nullptr; }
    // The next line without its line end (valid until the next call); false at the end of the
    // file.
    bool Next(std::string_view& line);
    // The number of the line Next gave last, from 1.
    size_t Number() const { return m_Number; }

private:
    // Reads more of the file behind what is left in the buffer; false at its end.
    bool Fill();

    std::FILE* m_File;
    std::vector<char> m_Buffer;
    size_t m_Start = 0;
    size_t m_End = 0;
    size_t m_Number = 0;
};

} // namespace sim
