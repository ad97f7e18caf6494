#include "sim/RegExport.h"

#include "sim/Machine.h"
#include "sim/Registry.h"

#include <cstdint>
#include <vector>

namespace sim {

const char kRegExportMissingKey[] =
    "ERROR: The system was unable to find the specified registry key or value.";

namespace {

// A hex line is broken after the comma that brings it to this length.
const size_t kHexLineLimit = 77;
// Keys are at most this deep on Windows; deeper means a link leads back up the tree.
const size_t kMaxKeyDepth = 512;

const char kDigits[] = "0123456789abcdef";

// Writes the file as UTF-16LE bytes into the caller's string, which it writes over.
class Writer {
public:
    explicit Writer(std::string& bytes) : m_Bytes(bytes) { m_Bytes.assign("\xFF\xFE", 2); }

    void Unit(unsigned unit) {
        m_Bytes += static_cast<char>(unit & 0xFF);
        m_Bytes += static_cast<char>((unit >> 8) & 0xFF);
    }

    void Ascii(const std::string& text) {
        for (char c : text) {
            Unit(static_cast<unsigned char>(c));
        }
    }

    // A key line: the key's path as it is.
    void Key(const std::wstring& path) {
        Ascii("\r\n[");
        AppendUtf16Le(m_Bytes, path);
        Ascii("]\r\n");
    }

    void Value(const RegValue& value) {
        size_t start = m_Bytes.size();
        if (value.name.empty()) {
            Ascii("@=");
        } else {
            Ascii("\"");
            Text(ToUtf16Le(value.name));
            Ascii("\"=");
        }
        if (value.type == REG_SZ) {
            Ascii("\"");
            Text(value.data);
            Ascii("\"");
        } else if (value.type == REG_DWORD && value.data.size() == 4) {
            uint32_t number = 0;
            for (size_t i = 4; i-- > 0;) {
                number = (number << 8) | static_cast<unsigned char>(value.data[i]);
            }
            Ascii("dword:" + Hex(number, 8));
        } else {
            Hex(value.type, value.data, (m_Bytes.size() - start) / 2);
        }
        Ascii("\r\n");
    }

private:
    // Puts UTF-16LE bytes up to their first NUL (an odd last byte is no character), escaped.
    void Text(const std::string& bytes) {
        for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
            auto low = static_cast<unsigned char>(bytes[i]);
            auto high = static_cast<unsigned char>(bytes[i + 1]);
            if (!Escaped(low | static_cast<unsigned>(high) << 8)) {
                break;
            }
        }
    }

    // Puts one unit of a name or text, with \ " and line breaks escaped; false for NUL, where
    // they end.
    bool Escaped(unsigned unit) {
        const char* escapes[] = {"\\\\", "\\\"", "\\r", "\\n"};
        const unsigned escaped[] = {'\\', '"', '\r', '\n'};
        for (size_t i = 0; i < 4; ++i) {
            if (unit == escaped[i]) {
                Ascii(escapes[i]);
                return true;
            }
        }
        if (unit == 0) {
            return false;
        }
        Unit(unit);
        return true;
    }

    // A number in lower-case hex digits, at least `width` of them.
    static std::string Hex(uint32_t number, int width) {
        std::string digits;
        for (int shift = 28; shift >= 0; shift -= 4) {
            if (!digits.empty() || ((number >> shift) & 0xF) != 0 || shift < 4 * width) {
                digits += kDigits[(number >> shift) & 0xF];
            }
        }
        return digits;
    }

    // "hex:" for binary data, else "hex(type):"; each byte but the last followed by a comma.
    void Hex(DWORD type, const std::string& data, size_t lineLength) {
        std::string prefix = type == REG_BINARY ? "hex:" : "hex(" + Hex(type, 1) + "):";
        Ascii(prefix);
        lineLength += prefix.size();
        for (size_t i = 0; i < data.size(); ++i) {
            auto byte = static_cast<unsigned char>(data[i]);
            Unit(static_cast<unsigned char>(kDigits[byte >> 4]));
            Unit(static_cast<unsigned char>(kDigits[byte & 0xF]));
            if (i + 1 < data.size()) {
                Unit(',');
                lineLength += 3;
                if (lineLength >= kHexLineLimit) {
                    Ascii("\\\r\n  ");
                    lineLength = 2;
                }
            }
        }
    }

    std::string& m_Bytes;
};

// Writes a key and its subtree through the registry functions' enumeration, each subkey opened
// from its parent as those functions open it (views and links as they see them); path is the
// key's logical path, shown its path as typed.
void ExportTree(Registry& registry, RegRoot root, std::vector<std::wstring>& path, bool view32,
                const RegKeyView& key, std::wstring& shown, Writer& writer) {
    if (!key || path.size() > kMaxKeyDepth) {
        return;
    }
    writer.Key(shown);
    for (size_t i = 0; const RegValue* value = Registry::ValueAt(key, i); ++i) {
        writer.Value(*value);
    }
    for (size_t i = 0; RegKey* subkey = Registry::SubkeyAt(key, i); ++i) {
        size_t shownLength = shown.size();
        shown += L'\\';
        shown += subkey->Name();
        path.push_back(subkey->Name());
        ExportTree(registry, root, path, view32, registry.OpenSubkey(root, path, view32, *subkey),
                   shown, writer);
        path.pop_back();
        shown.resize(shownLength);
    }
}

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
    std::wstring shown = RootLongName(root);
    if (!subKey.empty()) {
        shown += L"\\" + subKey;
    }
    ExportTree(machine.registry, root, path, view32, key, shown, writer);
    writer.Ascii("\r\n");
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
