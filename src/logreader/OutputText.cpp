#include "logreader/OutputText.h"

#include <cstdio>

namespace LogReader {

namespace {

// Windows-1252 at 0x80-0x9F; 0 where the code page has no character.
const unsigned short kHighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void AppendUtf8(std::string& p_Out, unsigned p_Code) {
    if (p_Code < 0x80) {
        p_Out += static_cast<char>(p_Code);
    } else if (p_Code < 0x800) {
        p_Out += static_cast<char>(0xC0 | (p_Code >> 6));
        p_Out += static_cast<char>(0x80 | (p_Code & 0x3F));
    } else {
        p_Out += static_cast<char>(0xE0 | (p_Code >> 12));
        p_Out += static_cast<char>(0x80 | ((p_Code >> 6) & 0x3F));
        p_Out += static_cast<char>(0x80 | (p_Code & 0x3F));
    }
}

} // namespace

unsigned Windows1252High(unsigned char p_Byte) {
    return p_Byte >= 0x80 && p_Byte < 0xA0 ? kHighControls[p_Byte - 0x80] : 0;
}

std::string ToUtf8(const std::string& p_Bytes) {
    std::string out;
    for (unsigned char byte : p_Bytes) {
        unsigned code = byte;
        if ((byte < 0x20 && byte != '\t') || byte == 0x7F) {
            code = 0xFFFD;
        } else if (byte >= 0x80 && byte < 0xA0) {
            code = kHighControls[byte - 0x80] != 0 ? kHighControls[byte - 0x80] : 0xFFFD;
        }
        AppendUtf8(out, code);
    }
    return out;
}

std::string JsonString(const std::string& p_Utf8) {
    std::string out = "\"";
    for (unsigned char c : p_Utf8) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", c);
            out += escape;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

} // namespace LogReader
