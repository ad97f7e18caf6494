#include "logreader/LogDecoding.h"

#include "logreader/OutputText.h"

#include <algorithm>

namespace LogReader {

namespace {

enum class Encoding { Windows1252, Utf8, Utf8Bom, Utf16Bom };

const char* const kEncodingNames[] = {"", "UTF-8", "UTF-8 with a byte-order mark",
                                      "UTF-16LE with a byte-order mark"};

// The length of the valid UTF-8 sequence at p_At, or 0.
size_t Utf8Sequence(const std::string& p_Bytes, size_t p_At, unsigned& p_Code) {
    unsigned char lead = static_cast<unsigned char>(p_Bytes[p_At]);
    size_t length = lead >= 0xF0 && lead < 0xF5 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
    if (lead >= 0xF5 || length == 0 || p_At + length > p_Bytes.size()) {
        return 0;
    }
    unsigned code = lead & (0x3F >> (length - 1));
    for (size_t k = 1; k < length; ++k) {
        unsigned char next = static_cast<unsigned char>(p_Bytes[p_At + k]);
        if ((next & 0xC0) != 0x80) {
            return 0;
        }
        code = (code << 6) | (next & 0x3F);
    }
    const unsigned smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < smallest[length] || code > 0x10FFFF || (code >= 0xD800 && code < 0xE000)) {
        return 0;
    }
    p_Code = code;
    return length;
}

// Without a byte-order mark: UTF-8 when the file has more valid multi-byte sequences than bytes
// that are none (a Windows-1252 letter is rarely followed by what UTF-8 needs).
Encoding Detect(const std::string& p_Bytes) {
    if (p_Bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        return Encoding::Utf8Bom;
    }
    if (p_Bytes.compare(0, 2, "\xFF\xFE") == 0) {
        return Encoding::Utf16Bom;
    }
    size_t sequences = 0;
    size_t invalid = 0;
    for (size_t i = 0; i < p_Bytes.size(); ++i) {
        if (static_cast<unsigned char>(p_Bytes[i]) < 0x80) {
            continue;
        }
        unsigned code = 0;
        size_t length = Utf8Sequence(p_Bytes, i, code);
        if (length == 0) {
            ++invalid;
        } else {
            ++sequences;
            i += length - 1;
        }
    }
    return sequences > invalid ? Encoding::Utf8 : Encoding::Windows1252;
}

// The text in Windows-1252 and the offsets in it where something could not be converted.
struct Transcoded {
    std::string text;
    std::vector<size_t> undecodable; // bytes that are no text of the encoding
    size_t unrepresentable = 0;      // characters Windows-1252 has no place for, written as ?
};

void Append(Transcoded& p_Out, unsigned p_Code) {
    char byte = '?';
    if (!ToWindows1252(p_Code, byte)) {
        ++p_Out.unrepresentable;
    }
    p_Out.text += byte;
}

Transcoded FromUtf8(const std::string& p_Bytes, size_t p_Start) {
    Transcoded out;
    out.text.reserve(p_Bytes.size());
    for (size_t i = p_Start; i < p_Bytes.size(); ++i) {
        unsigned char byte = static_cast<unsigned char>(p_Bytes[i]);
        unsigned code = 0;
        size_t length = byte < 0x80 ? 1 : Utf8Sequence(p_Bytes, i, code);
        if (byte < 0x80) {
            out.text += static_cast<char>(byte);
        } else if (length == 0) {
            // Kept as the Windows-1252 character it would be, and named.
            out.undecodable.push_back(out.text.size());
            out.text += static_cast<char>(byte);
        } else {
            Append(out, code);
            i += length - 1;
        }
    }
    return out;
}

Transcoded FromUtf16(const std::string& p_Bytes) {
    Transcoded out;
    out.text.reserve(p_Bytes.size() / 2);
    auto unit = [&](size_t at) {
        return static_cast<unsigned>(static_cast<unsigned char>(p_Bytes[at])) |
               static_cast<unsigned>(static_cast<unsigned char>(p_Bytes[at + 1])) << 8;
    };
    size_t i = 2;
    for (; i + 1 < p_Bytes.size(); i += 2) {
        unsigned code = unit(i);
        if (code >= 0xD800 && code < 0xDC00 && i + 3 < p_Bytes.size() && unit(i + 2) >= 0xDC00 &&
            unit(i + 2) < 0xE000) {
            code = 0x10000 + ((code - 0xD800) << 10) + (unit(i + 2) - 0xDC00);
            i += 2;
        } else if (code >= 0xD800 && code < 0xE000) {
            out.undecodable.push_back(out.text.size());
            out.text += '?';
            continue;
        }
        Append(out, code);
    }
    if (i < p_Bytes.size()) {
        out.undecodable.push_back(out.text.size());
    }
    return out;
}

const char* ControlCharacter(const std::string& p_Text) {
    for (unsigned char c : p_Text) {
        if ((c < 0x20 && c != '\t') || c == 0x7F) {
            return c == '\r' ? "a CR inside the line" : "a control character";
        }
    }
    return nullptr;
}

} // namespace

bool ToWindows1252(unsigned p_Code, char& p_Byte) {
    if (p_Code < 0x80 || (p_Code >= 0xA0 && p_Code < 0x100)) {
        p_Byte = static_cast<char>(p_Code);
        return true;
    }
    for (unsigned byte = 0x80; byte < 0xA0; ++byte) {
        if (Windows1252High(static_cast<unsigned char>(byte)) == p_Code) {
            p_Byte = static_cast<char>(byte);
            return true;
        }
    }
    return false;
}

DecodedLines DecodeLog(const std::string& p_Bytes) {
    DecodedLines decoded;
    Encoding encoding = Detect(p_Bytes);
    Transcoded transcoded;
    const std::string* text = &p_Bytes;
    if (encoding == Encoding::Utf16Bom) {
        transcoded = FromUtf16(p_Bytes);
        text = &transcoded.text;
    } else if (encoding != Encoding::Windows1252) {
        transcoded = FromUtf8(p_Bytes, encoding == Encoding::Utf8Bom ? 3 : 0);
        text = &transcoded.text;
    }
    // Lines at LF, each without its CR; which lines end in LF alone.
    std::vector<size_t> lfAlone;
    size_t crLf = 0;
    size_t damage = 0; // the next undecodable offset to place
    size_t start = 0;
    while (start < text->size()) {
        size_t end = text->find('\n', start);
        bool last = end == std::string::npos;
        size_t stop = last ? text->size() : end;
        bool cr = stop > start && (*text)[stop - 1] == '\r';
        size_t number = decoded.lines.size() + 1;
        decoded.lines.push_back({number, text->substr(start, stop - start - (cr ? 1 : 0))});
        bool undecodable = false;
        while (damage < transcoded.undecodable.size() && transcoded.undecodable[damage] <= stop) {
            undecodable = true;
            ++damage;
        }
        if (undecodable) {
            decoded.damaged.push_back({number, std::string("bytes that are no ") +
                                                   kEncodingNames[int(encoding)] + " text"});
        } else if (const char* control = ControlCharacter(decoded.lines.back().text)) {
            decoded.damaged.push_back({number, control});
        }
        if (last) {
            decoded.unterminated = true;
            break;
        }
        if (cr) {
            ++crLf;
        } else {
            lfAlone.push_back(number);
        }
        start = end + 1;
    }
    std::vector<std::string> converted;
    if (encoding != Encoding::Windows1252) {
        converted.push_back(kEncodingNames[int(encoding)]);
    }
    if (!lfAlone.empty() && crLf >= lfAlone.size()) {
        for (size_t number : lfAlone) {
            decoded.damaged.push_back({number, "the line ends in LF alone"});
        }
    } else if (!lfAlone.empty()) {
        converted.push_back("LF line ends");
    }
    if (transcoded.unrepresentable > 0) {
        converted.push_back(std::to_string(transcoded.unrepresentable) +
                            " characters that Windows-1252 lacks shown as ?");
    }
    for (size_t i = 0; i < converted.size(); ++i) {
        decoded.conversion += (i == 0 ? "" : ", ") + converted[i];
    }
    std::stable_sort(
        decoded.damaged.begin(), decoded.damaged.end(),
        [](const DamagedLine& a, const DamagedLine& b) { return a.number < b.number; });
    return decoded;
}

} // namespace LogReader
