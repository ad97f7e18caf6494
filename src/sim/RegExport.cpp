#include "sim/RegExport.h"

#include "sim/Machine.h"
#include "sim/Paths.h"
#include "sim/Registry.h"
#include "sim/WordLanes.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace sim {

const char kRegExportMissingKey[] =
    "ERROR: The system was unable to find the specified registry key or value.";

namespace {

// A hex line is broken after the comma that brings it to this length.
const size_t kHexLineLimit = 77;

// The file is written as UTF-16LE bytes as it goes, into the caller's string: ASCII widened
// here, texts copied from the registry's own UTF-16LE data. Room is made for each piece at once
// and the bytes are stored through a pointer.
class Writer {
public:
    // The string is written over from its start; what it already holds is room that needs no
    // filling (a caller that exports again into the same string reuses it).
    explicit Writer(std::string& bytes) : m_Bytes(bytes) { Raw("\xFF\xFE", 2); }

    // The bytes written, the string cut to them.
    void Finish() {
        Ascii("\r\n");
        m_Bytes.resize(m_Size);
    }

    void Ascii(const char* text) { Ascii(text, std::strlen(text)); }

    void Ascii(const char* text, size_t length) {
        char* out = Room(2 * length);
        for (size_t i = 0; i < length; ++i) {
            out[2 * i] = text[i];
            out[2 * i + 1] = '\0';
        }
        m_Size += 2 * length;
    }

    void Raw(const char* bytes, size_t length) {
        std::memcpy(Room(length), bytes, length);
        m_Size += length;
    }

    // A key line: its path as UTF-16LE bytes.
    void Key(const std::string& path16) {
        Ascii("\r\n[", 3);
        Raw(path16.data(), path16.size());
        Ascii("]\r\n", 3);
    }

    void Value(const RegValue& value) {
        size_t start = m_Size;
        // The output a few values on, made ready for writing while this one is written.
        if (m_Size + kWriteAhead + 192 <= m_Bytes.size()) {
            const char* ahead = &m_Bytes[m_Size + kWriteAhead];
            __builtin_prefetch(ahead, 1);
            __builtin_prefetch(ahead + 64, 1);
            __builtin_prefetch(ahead + 128, 1);
        }
        if (value.name.empty()) {
            Ascii("@=", 2);
        } else {
            // At most two units (an escape, a surrogate pair) for each character.
            char* out = Room(4 * value.name.size() + 8);
            char* end = out;
            Put(end, '"');
            EscapedName(value.name, end);
            Put(end, '"');
            Put(end, '=');
            m_Size += static_cast<size_t>(end - out);
        }
        size_t lineLength = (m_Size - start) / 2;
        if (value.type == REG_SZ) {
            char* out = Room(2 * value.data.size() + 8);
            char* end = out;
            Put(end, '"');
            EscapedData(value.data, end);
            Put(end, '"');
            m_Size += static_cast<size_t>(end - out);
        } else if (value.type == REG_DWORD && value.data.size() == 4) {
            uint32_t number = 0;
            for (int i = 3; i >= 0; --i) {
                number =
                    (number << 8) | static_cast<unsigned char>(value.data[static_cast<size_t>(i)]);
            }
            char buffer[14] = {'d', 'w', 'o', 'r', 'd', ':'};
            for (int i = 0; i < 8; ++i) {
                buffer[6 + i] = kDigits[(number >> (28 - 4 * i)) & 0xF];
            }
            Ascii(buffer, sizeof buffer);
        } else {
            Hex(value.type, value.data, lineLength);
        }
        Ascii("\r\n", 2);
    }

private:
    static constexpr const char* kDigits = "0123456789abcdef";
    static const size_t kWriteAhead = 4096;

    // Room for length more bytes after the ones written.
    char* Room(size_t length) {
        if (m_Size + length > m_Bytes.size()) {
            Grow(m_Size + length);
        }
        return &m_Bytes[m_Size];
    }

    // The string grows by doubling beyond its capacity, and a step at a time within it: each
    // growth fills the new bytes, and a step is written over while still in the cache.
    void Grow(size_t needed) {
        const size_t kStep = 256 * 1024;
        if (needed <= m_Bytes.capacity()) {
            m_Bytes.resize(std::min(m_Bytes.capacity(), needed + kStep));
        } else {
            m_Bytes.resize(std::max(needed, std::max<size_t>(2 * m_Bytes.size(), 4096)));
        }
    }

    static void Put(char*& out, char c) {
        out[0] = c;
        out[1] = '\0';
        out += 2;
    }

    static void PutUnit(char*& out, unsigned unit) {
        out[0] = static_cast<char>(unit & 0xFF);
        out[1] = static_cast<char>((unit >> 8) & 0xFF);
        out += 2;
    }

    // The escape letter of a unit that .reg files escape (\ " CR LF), else 0.
    static char EscapeOf(unsigned unit) {
        switch (unit) {
        case '\\':
            return '\\';
        case '"':
            return '"';
        case '\r':
            return 'r';
        case '\n':
            return 'n';
        default:
            return 0;
        }
    }

    // Puts one unit escaped; false for NUL, where the text ends.
    static bool PutEscaped(char*& out, unsigned unit) {
        if (unit == 0) {
            return false;
        }
        char escape = unit < 0x80 ? EscapeOf(unit) : 0;
        if (escape != 0) {
            Put(out, '\\');
            Put(out, escape);
        } else {
            PutUnit(out, unit);
        }
        return true;
    }

    // A name as UTF-16LE with \ " and line breaks escaped, up to its first NUL.
    static void EscapedName(const std::wstring& name, char*& out) {
        for (wchar_t c : name) {
            auto code = static_cast<uint32_t>(c);
            if (code >= 0x10000 && code <= 0x10FFFF) {
                code -= 0x10000;
                PutUnit(out, 0xD800 + (code >> 10));
                PutUnit(out, 0xDC00 + (code & 0x3FF));
            } else if (!PutEscaped(out, code & 0xFFFF)) {
                return;
            }
        }
    }

    // UTF-16LE data with \ " and line breaks escaped; it ends at its first NUL (an odd last byte
    // is no character). Runs of units that need no escape are copied as they are.
    static void EscapedData(const std::string& utf16, char*& out) {
        const char* data = utf16.data();
        size_t units = utf16.size() / 2;
        size_t run = 0;
        size_t i = 0;
        while (i < units) {
            if (i + 4 <= units && !AnyToEscape(data + 2 * i)) {
                i += 4;
                continue;
            }
            unsigned unit =
                static_cast<unsigned char>(data[2 * i]) |
                (static_cast<unsigned>(static_cast<unsigned char>(data[2 * i + 1])) << 8);
            if (unit >= 0x80 || (unit != 0 && EscapeOf(unit) == 0)) {
                ++i;
                continue;
            }
            std::memcpy(out, data + 2 * run, 2 * (i - run));
            out += 2 * (i - run);
            if (!PutEscaped(out, unit)) {
                return;
            }
            run = ++i;
        }
        std::memcpy(out, data + 2 * run, 2 * (units - run));
        out += 2 * (units - run);
    }

    // Whether any of the four UTF-16LE units at data is NUL or one that is escaped, tested on all
    // four at once where the host's order of bytes is UTF-16LE's. Without that, each unit is
    // tested by itself.
    static bool AnyToEscape(const char* data) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
        using Units = WordLanes<16>;
        uint64_t word = Units::Load(data);
        return Units::AnyZero(word) || Units::AnyEqual(word, '\\') || Units::AnyEqual(word, '"') ||
               Units::AnyEqual(word, '\r') || Units::AnyEqual(word, '\n');
#else
        (void)data;
        return true;
#endif
    }

    // Each byte of hex data as it is written when a comma follows it: two digits and the comma
    // as UTF-16LE, and two bytes of room that the next byte's digits write over.
    struct HexBytes {
        char units[256][8];
        HexBytes() : units() {
            for (int byte = 0; byte < 256; ++byte) {
                units[byte][0] = kDigits[byte >> 4];
                units[byte][2] = kDigits[byte & 0xF];
                units[byte][4] = ',';
            }
        }
    };

    void Hex(DWORD type, const std::string& data, size_t lineLength) {
        static const HexBytes kHex;
        // "hex:" for binary data, else "hex(type):" with the type in hex digits.
        char prefix[16] = {'h', 'e', 'x'};
        size_t prefixLength = 3;
        if (type != REG_BINARY) {
            prefix[prefixLength++] = '(';
            int shift = 28;
            while (shift > 0 && ((type >> shift) & 0xF) == 0) {
                shift -= 4;
            }
            for (; shift >= 0; shift -= 4) {
                prefix[prefixLength++] = kDigits[(type >> shift) & 0xF];
            }
            prefix[prefixLength++] = ')';
        }
        prefix[prefixLength++] = ':';
        Ascii(prefix, prefixLength);
        lineLength += prefixLength;
        // Each byte: two digits and a comma, and at most one line break of five characters, and
        // the two bytes of room of the last comma.
        char* out = Room(16 * data.size() + 8);
        char* end = out;
        const auto* bytes = reinterpret_cast<const unsigned char*>(data.data());
        // Every byte but the last is followed by a comma; a line is broken after the comma that
        // brings it to the limit.
        size_t commas = data.empty() ? 0 : data.size() - 1;
        size_t i = 0;
        while (i < commas) {
            size_t toBreak =
                lineLength + 3 >= kHexLineLimit ? 1 : (kHexLineLimit - lineLength + 2) / 3;
            bool breaks = toBreak <= commas - i;
            size_t stop = breaks ? i + toBreak : commas;
            for (; i + 4 <= stop; i += 4) {
                std::memcpy(end, kHex.units[bytes[i]], 8);
                std::memcpy(end + 6, kHex.units[bytes[i + 1]], 8);
                std::memcpy(end + 12, kHex.units[bytes[i + 2]], 8);
                std::memcpy(end + 18, kHex.units[bytes[i + 3]], 8);
                end += 24;
            }
            for (; i < stop; ++i) {
                std::memcpy(end, kHex.units[bytes[i]], 8);
                end += 6;
            }
            if (!breaks) {
                break;
            }
            static const char kBreak[10] = {'\\', 0, '\r', 0, '\n', 0, ' ', 0, ' ', 0};
            std::memcpy(end, kBreak, sizeof kBreak);
            end += sizeof kBreak;
            lineLength = 2;
        }
        if (!data.empty()) {
            std::memcpy(end, kHex.units[bytes[commas]], 4);
            end += 4;
        }
        m_Size += static_cast<size_t>(end - out);
    }

    std::string& m_Bytes;
    size_t m_Size = 0;
};

// Keys are at most this deep on Windows; deeper means a link leads back up the tree.
const size_t kMaxKeyDepth = 512;

// Walks a subtree: path is the opened key's logical path, path16 its shown path as UTF-16LE.
// Each subkey is found from its parent: in one step below the views' rules, else opened by its
// path.
class TreeExporter {
public:
    TreeExporter(Registry& registry, RegRoot root, bool view32, Writer& writer)
        : m_Registry(registry), m_Root(root), m_View32(view32), m_Writer(writer) {}

    void Export(const RegKeyView& view, std::vector<std::wstring>& path, std::string& path16,
                bool fixed) {
        if (!view || path.size() + m_FixedDepth > kMaxKeyDepth) {
            return;
        }
        m_Writer.Key(path16);
        fixed = fixed || Registry::ViewsFixedBelow(m_Root, path, m_View32);
        if (fixed && view.underlay == nullptr) {
            // The plain case: the key's own values and subkeys, links followed.
            for (const RegValue& value : view.key->Values()) {
                m_Writer.Value(value);
            }
            size_t count = view.key->SubkeyCount();
            for (size_t i = 0; i < count; ++i) {
                if (i + 3 < count) {
                    __builtin_prefetch(&view.key->Subkey(i + 3));
                }
                if (i + 2 < count) {
                    view.key->Subkey(i + 2).PrefetchValues();
                }
                if (i + 1 < count) {
                    view.key->Subkey(i + 1).PrefetchValueTexts();
                }
                RegKey& subkey = view.key->Subkey(i);
                Descend(RegKeyView{m_Registry.Followed(&subkey), nullptr}, subkey.Name(), path,
                        path16, fixed);
            }
            return;
        }
        for (const RegValue* value : Registry::ValuesOf(view)) {
            m_Writer.Value(*value);
        }
        for (const std::wstring& name : Registry::SubkeyNames(view)) {
            RegKeyView subkey;
            if (fixed) {
                subkey = m_Registry.Subkey(view, name);
            } else {
                path.push_back(name);
                subkey = m_Registry.Open(m_Root, path, m_View32);
                path.pop_back();
            }
            Descend(subkey, name, path, path16, fixed);
        }
    }

private:
    // Below the views' rules the logical path is no longer needed: only its depth is counted.
    void Descend(const RegKeyView& subkey, const std::wstring& name,
                 std::vector<std::wstring>& path, std::string& path16, bool fixed) {
        size_t shownLength = path16.size();
        path16.append("\\\0", 2);
        AppendUtf16Le(path16, name);
        if (fixed) {
            ++m_FixedDepth;
            Export(subkey, path, path16, fixed);
            --m_FixedDepth;
        } else {
            path.push_back(name);
            Export(subkey, path, path16, fixed);
            path.pop_back();
        }
        path16.resize(shownLength);
    }

    Registry& m_Registry;
    RegRoot m_Root;
    bool m_View32;
    Writer& m_Writer;
    // The depth below the logical path where the views became fixed.
    size_t m_FixedDepth = 0;
};

// Writes the export into fileBytes (what they held is overwritten); false when there is no key
// to export.
bool ExportInto(const std::wstring& keyPath, std::string& fileBytes, REGSAM view) {
    std::wstring first = keyPath.substr(0, keyPath.find(L'\\'));
    RegRoot root = RegRoot::LocalMachine;
    if (!ParseRegistryRoot(first, root) || ((view & KEY_WOW64_32KEY) && (view & KEY_WOW64_64KEY))) {
        return false;
    }
    std::wstring subKey = keyPath.substr(first.size());
    if (!subKey.empty()) {
        subKey.erase(0, 1);
    }
    if (!subKey.empty() && subKey.back() == L'\\') {
        subKey.pop_back();
    }
    std::vector<std::wstring> path;
    if (!SplitRegistryPath(subKey, path)) {
        return false;
    }
    Machine& machine = CurrentMachine();
    bool view32 = machine.is64Bit && !(view & KEY_WOW64_64KEY);
    RegKeyView key = machine.registry.Open(root, path, view32);
    if (!key) {
        return false;
    }
    Writer writer(fileBytes);
    writer.Ascii("Windows Registry Editor Version 5.00\r\n");
    std::wstring shownPath = RootLongName(root);
    if (!subKey.empty()) {
        shownPath += L"\\" + subKey;
    }
    std::string path16 = ToUtf16Le(shownPath);
    TreeExporter(machine.registry, root, view32, writer).Export(key, path, path16, false);
    writer.Finish();
    return true;
}

} // namespace

bool ExportRegistryKey(const std::wstring& keyPath, std::string& fileBytes, DWORD& exitCode,
                       REGSAM view) {
    if (!ExportInto(keyPath, fileBytes, view)) {
        fileBytes.clear();
        exitCode = 1;
        return false;
    }
    exitCode = 0;
    return true;
}

} // namespace sim
