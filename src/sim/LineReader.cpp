#include "sim/LineReader.h"

#include <cstring>

namespace sim {

namespace {

// The file is read this much at a time; a longer line grows the buffer.
const size_t kChunk = 1 << 18;

} // namespace

LineReader::LineReader(const std::string& path) : m_File(std::fopen(path.c_str(), "rb")) {
    if (m_File != nullptr) {
        m_Buffer.resize(kChunk);
    }
}

LineReader::~LineReader() {
    if (m_File != nullptr) {
        std::fclose(m_File);
    }
}

bool LineReader::Fill() {
    if (m_Start > 0) {
        std::memmove(m_Buffer.data(), m_Buffer.data() + m_Start, m_End - m_Start);
        m_End -= m_Start;
        m_Start = 0;
    }
    if (m_End == m_Buffer.size()) {
        m_Buffer.resize(m_Buffer.size() * 2);
    }
    size_t read = std::fread(m_Buffer.data() + m_End, 1, m_Buffer.size() - m_End, m_File);
    m_End += read;
    return read > 0;
}

bool LineReader::Next(std::string_view& line) {
    if (m_File == nullptr) {
        return false;
    }
    size_t scanned = m_Start;
    const char* newline = nullptr;
    while (true) {
        newline =
            static_cast<const char*>(std::memchr(m_Buffer.data() + scanned, '\n', m_End - scanned));
        if (newline != nullptr) {
            break;
        }
        scanned = m_End - m_Start;
        if (!Fill()) {
            break;
        }
    }
    size_t end = newline != nullptr ? static_cast<size_t>(newline - m_Buffer.data()) : m_End;
    if (newline == nullptr && end == m_Start) {
        return false;
    }
    ++m_Number;
    size_t length = end - m_Start;
    while (length > 0 &&
           (m_Buffer[m_Start + length - 1] == '\r' || m_Buffer[m_Start + length - 1] == '\n')) {
        --length;
    }
    line = std::string_view(m_Buffer.data() + m_Start, length);
    m_Start = newline != nullptr ? end + 1 : end;
    return true;
}

} // namespace sim
