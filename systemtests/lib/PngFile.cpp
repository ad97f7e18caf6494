#include "PngFile.h"

#include <cstdint>
#include <cstdio>

namespace {

void PutBigEndian(std::string& p_Out, uint32_t p_Value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        p_Out += static_cast<char>((p_Value >> shift) & 0xff);
    }
}

uint32_t Crc(const std::string& p_Data) {
    uint32_t crc = 0xffffffffu;
    for (unsigned char byte : p_Data) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
        }
    }
    return crc ^ 0xffffffffu;
}

void PutChunk(std::string& p_Out, const char* p_Type, const std::string& p_Data) {
    PutBigEndian(p_Out, static_cast<uint32_t>(p_Data.size()));
    std::string body = std::string(p_Type, 4) + p_Data;
    p_Out += body;
    PutBigEndian(p_Out, Crc(body));
}

} // namespace

bool WritePng(const char* p_Path, int p_Width, int p_Height, const std::string& p_Rgb) {
    std::string raw;
    for (int y = 0; y < p_Height; ++y) {
        raw += '\0'; // no filter
        raw.append(p_Rgb, static_cast<size_t>(y) * p_Width * 3, static_cast<size_t>(p_Width) * 3);
    }
    std::string deflated = "\x78\x01";
    uint32_t a = 1, b = 0;
    for (unsigned char byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    for (size_t at = 0; at < raw.size(); at += 65535) {
        size_t length = raw.size() - at < 65535 ? raw.size() - at : 65535;
        deflated += static_cast<char>(at + length == raw.size() ? 1 : 0);
        deflated += static_cast<char>(length & 0xff);
        deflated += static_cast<char>(length >> 8);
        deflated += static_cast<char>(~length & 0xff);
        deflated += static_cast<char>((~length >> 8) & 0xff);
        deflated.append(raw, at, length);
    }
    PutBigEndian(deflated, (b << 16) | a);
    std::string header;
    PutBigEndian(header, static_cast<uint32_t>(p_Width));
    PutBigEndian(header, static_cast<uint32_t>(p_Height));
    header += std::string("\x08\x02\x00\x00\x00", 5); // 8 bits, RGB
    std::string png = "\x89PNG\r\n\x1a\n";
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", deflated);
    PutChunk(png, "IEND", "");
    FILE* file = std::fopen(p_Path, "wb");
    if (!file) {
        return false;
    }
    bool written = std::fwrite(png.data(), 1, png.size(), file) == png.size();
    return std::fclose(file) == 0 && written;
}
