#include "sim/RegExport.h"

#include "sim/Machine.h"
#include "sim/Paths.h"
#include "sim/Registry.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace sim {

const char kRegExportMissingKey[] =
    "ERROR: The system was unable to find the specified registry key or value.";

namespace {

// A hex line is broken after the comma that brings it to this length.
const size_t kHexLineLimit = 77;

// The file is written as UTF-16LE bytes as it goes: ASCII here, texts from the registry's own
// UTF-16LE data.
class Writer {
public:
    Writer() { m_Bytes = "\xFF\xFE"; }

    void Ascii(const char* text) { Ascii(text, std::strlen(text)); }

    void Ascii(const char* text, size_t length) {
        size_t at = m_Bytes.size();
        m_Bytes.resize(at + 2 * length);
        for (size_t i = 0; i < length; ++i) {
            m_Bytes[at + 2 * i] = text[i];
            m_Bytes[at + 2 * i + 1] = '\0';
        }
    }

    void Text(const std::wstring& text) {
        for (wchar_t c : text) {
            AppendUtf16Le(m_Bytes, c);
        }
    }

    void Key(const std::wstring& path) {
        Ascii("\r\n[");
        Text(path);
        Ascii("]\r\n");
    }

    void Value(const RegValue& value) {
        size_t start = m_Bytes.size();
        if (value.name.empty()) {
            Ascii("@=");
        } else {
            Unit('"');
            m_Name.clear();
            for (wchar_t c : value.name) {
                AppendUtf16Le(m_Name, c);
            }
            Escaped(m_Name);
            Ascii("\"=");
        }
        size_t lineLength = (m_Bytes.size() - start) / 2;
        if (value.type == REG_SZ) {
            Unit('"');
            Escaped(value.data);
            Unit('"');
        } else if (value.type == REG_DWORD && value.data.size() == 4) {
            unsigned long number = 0;
            for (int i = 3; i >= 0; --i) {
                number =
                    (number << 8) | static_cast<unsigned char>(value.data[static_cast<size_t>(i)]);
            }
            char buffer[16];
            std::snprintf(buffer, sizeof buffer, "dword:%08lx", number);
            Ascii(buffer);
        } else {
            Hex(value.type, value.data, lineLength);
        }
        Ascii("\r\n");
    }

    std::string File() {
        Ascii("\r\n");
        return std::move(m_Bytes);
    }

private:
    void Unit(unsigned unit) {
        m_Bytes += static_cast<char>(unit & 0xFF);
        m_Bytes += static_cast<char>(unit >> 8);
    }

    // UTF-16LE text between quotes with \ " and line breaks escaped; it ends at its first NUL (an
    // odd last byte is no character).
    void Escaped(const std::string& utf16) {
        size_t run = 0;
        size_t i = 0;
        for (; i + 1 < utf16.size(); i += 2) {
            unsigned unit = static_cast<unsigned char>(utf16[i]) |
                            (static_cast<unsigned>(static_cast<unsigned char>(utf16[i + 1])) << 8);
            const char* escape = nullptr;
            switch (unit) {
            case 0:
                m_Bytes.append(utf16, run, i - run);
                return;
            case '\\':
                escape = "\\\\";
                break;
            case '"':
                escape = "\\\"";
                break;
            case '\r':
                escape = "\\r";
                break;
            case '\n':
                escape = "\\n";
                break;
            default:
                continue;
            }
            m_Bytes.append(utf16, run, i - run);
            Ascii(escape, 2);
            run = i + 2;
        }
        m_Bytes.append(utf16, run, i - run);
    }

    void Hex(DWORD type, const std::string& data, size_t lineLength) {
        char buffer[24];
        if (type == REG_BINARY) {
            std::snprintf(buffer, sizeof buffer, "hex:");
        } else {
            std::snprintf(buffer, sizeof buffer, "hex(%lx):", static_cast<unsigned long>(type));
        }
        Ascii(buffer);
        lineLength += std::strlen(buffer);
        static const char digits[] = "0123456789abcdef";
        std::string& line = m_Line;
        line.clear();
        for (size_t i = 0; i < data.size(); ++i) {
            auto byte = static_cast<unsigned char>(data[i]);
            line += digits[byte >> 4];
            line += digits[byte & 0xF];
            if (i + 1 == data.size()) {
                break;
            }
            line += ',';
            lineLength += 3;
            if (lineLength >= kHexLineLimit) {
                line += "\\\r\n  ";
                lineLength = 2;
            }
        }
        Ascii(line.data(), line.size());
    }

    std::string m_Bytes;
    // Reused for each value's name and hex data.
    std::string m_Name;
    std::string m_Line;
};

// Keys are at most this deep on Windows; deeper means a link leads back up the tree.
const size_t kMaxKeyDepth = 512;

// Writes an opened key and its subtree; each subkey is opened from its parent.
void ExportTree(Registry& registry, RegRoot root, const RegKeyView& view,
                std::vector<std::wstring>& path, std::wstring& shownPath, bool view32,
                Writer& writer) {
    if (!view || path.size() > kMaxKeyDepth) {
        return;
    }
    writer.Key(shownPath);
    for (const RegValue* value : Registry::ValuesOf(view)) {
        writer.Value(*value);
    }
    for (const std::wstring& name : Registry::SubkeyNames(view)) {
        path.push_back(name);
        size_t shownLength = shownPath.size();
        shownPath += L'\\';
        shownPath += name;
        ExportTree(registry, root, registry.OpenSubkey(root, view, path, view32), path, shownPath,
                   view32, writer);
        shownPath.resize(shownLength);
        path.pop_back();
    }
}

} // namespace

bool ExportRegistryKey(const std::wstring& keyPath, std::string& fileBytes, DWORD& exitCode,
                       REGSAM view) {
    fileBytes.clear();
    exitCode = 1;
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
    Writer writer;
    writer.Ascii("Windows Registry Editor Version 5.00\r\n");
    std::wstring shownPath = RootLongName(root);
    if (!subKey.empty()) {
        shownPath += L"\\" + subKey;
    }
    ExportTree(machine.registry, root, key, path, shownPath, view32, writer);
    fileBytes = writer.File();
    exitCode = 0;
    return true;
}

} // namespace sim
