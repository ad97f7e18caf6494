// Shared pieces of the fuzz targets: the fuzzer's bytes as a host file, and a reader that cuts
// the bytes into the parts a target needs.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

namespace fuzz {

// A host file of this process that holds the bytes of the current input (in memory where the
// host has /dev/shm); removed when the process ends.
class InputFile {
public:
    InputFile()
        : m_Path(std::string(access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") +
                 "/zanprobe-fuzz-" + std::to_string(getpid())) {}
    ~InputFile() { unlink(m_Path.c_str()); }
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;
    const std::string& Path() const { return m_Path; }

private:
    std::string m_Path;
};

inline const std::string& WriteInputFile(const uint8_t* data, size_t size) {
    static const InputFile file;
    std::FILE* stream = std::fopen(file.Path().c_str(), "wb");
    if (stream != nullptr) {
        std::fwrite(data, 1, size, stream);
        std::fclose(stream);
    }
    return file.Path();
}

// Takes bytes off the front of the input.
class InputReader {
public:
    InputReader(const uint8_t* data, size_t size) : m_Data(data), m_Size(size) {}
    bool Empty() const { return m_Position >= m_Size; }
    uint8_t Byte() { return Empty() ? 0 : m_Data[m_Position++]; }
    // Up to `count` bytes.
    std::string Bytes(size_t count) {
        size_t take = std::min(count, m_Size - std::min(m_Position, m_Size));
        std::string bytes(reinterpret_cast<const char*>(m_Data + m_Position), take);
        m_Position += take;
        return bytes;
    }
    // The bytes up to the next NUL (or the end), the NUL consumed.
    std::string Piece() {
        std::string piece;
        while (!Empty()) {
            char c = static_cast<char>(m_Data[m_Position++]);
            if (c == '\0') {
                break;
            }
            piece += c;
        }
        return piece;
    }
    // The rest as 16-bit characters (little-endian pairs; an odd last byte is dropped).
    std::wstring WideRest() {
        std::wstring text;
        while (m_Position + 1 < m_Size) {
            text += static_cast<wchar_t>(m_Data[m_Position] | (m_Data[m_Position + 1] << 8));
            m_Position += 2;
        }
        m_Position = m_Size;
        return text;
    }

private:
    const uint8_t* m_Data;
    size_t m_Size;
    size_t m_Position = 0;
};

} // namespace fuzz
