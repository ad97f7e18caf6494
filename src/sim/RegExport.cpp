#include "sim/RegExport.h"

#include "sim/Machine.h"
#include "sim/Paths.h"
#include "sim/Registry.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
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
    explicit Writer(std::string& bytes) : m_Bytes(bytes) {
        m_Bytes.resize(m_Bytes.capacity());
        Raw("\xFF\xFE", 2);
    }

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

    // Room for length more bytes after the ones written; the string grows by doubling.
    char* Room(size_t length) {
        if (m_Size + length > m_Bytes.size()) {
            m_Bytes.resize(std::max(m_Size + length, std::max<size_t>(2 * m_Bytes.size(), 4096)));
        }
        return &m_Bytes[m_Size];
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
    // is no character).
    static void EscapedData(const std::string& utf16, char*& out) {
        const char* data = utf16.data();
        for (size_t i = 0; i + 1 < utf16.size(); i += 2) {
            unsigned unit = static_cast<unsigned char>(data[i]) |
                            (static_cast<unsigned>(static_cast<unsigned char>(data[i + 1])) << 8);
            if (!PutEscaped(out, unit)) {
                return;
            }
        }
    }

    void Hex(DWORD type, const std::string& data, size_t lineLength) {
        char prefix[24];
        if (type == REG_BINARY) {
            std::snprintf(prefix, sizeof prefix, "hex:");
        } else {
            std::snprintf(prefix, sizeof prefix, "hex(%lx):", static_cast<unsigned long>(type));
        }
        Ascii(prefix);
        lineLength += std::strlen(prefix);
        // Each byte: two digits and a comma, and at most one line break of five characters.
        char* out = Room(16 * data.size() + 2);
        char* end = out;
        for (size_t i = 0; i < data.size(); ++i) {
            auto byte = static_cast<unsigned char>(data[i]);
            Put(end, kDigits[byte >> 4]);
            Put(end, kDigits[byte & 0xF]);
            if (i + 1 == data.size()) {
                break;
            }
            Put(end, ',');
            lineLength += 3;
            if (lineLength >= kHexLineLimit) {
                for (char c : {'\\', '\r', '\n', ' ', ' '}) {
                    Put(end, c);
                }
                lineLength = 2;
            }
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
            for (size_t i = 0; i < view.key->SubkeyCount(); ++i) {
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
        AppendUtf16Le(path16, L'\\');
        for (wchar_t c : name) {
            AppendUtf16Le(path16, c);
        }
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
