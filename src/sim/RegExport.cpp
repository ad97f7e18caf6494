#include "sim/RegExport.h"

#include "sim/Machine.h"
#include "sim/Paths.h"
#include "sim/Registry.h"

#include <cstdio>
#include <vector>

namespace sim {

const char kRegExportMissingKey[] =
    "ERROR: The system was unable to find the specified registry key or value.";

namespace {

// A hex line is broken after the comma that brings it to this length.
const size_t kHexLineLimit = 77;

struct RootSpelling {
    const wchar_t* longName;
    const wchar_t* shortName;
    RegRoot root;
};

const RootSpelling kRoots[] = {
    {L"HKEY_LOCAL_MACHINE", L"HKLM", RegRoot::LocalMachine},
    {L"HKEY_CURRENT_USER", L"HKCU", RegRoot::CurrentUser},
    {L"HKEY_CLASSES_ROOT", L"HKCR", RegRoot::ClassesRoot},
    {L"HKEY_USERS", L"HKU", RegRoot::Users},
};

// Name and string data are written between quotes with \ " and line breaks escaped; the text
// ends at its first NUL.
std::wstring Escaped(const std::wstring& text) {
    std::wstring escaped;
    escaped.reserve(text.size() + 8);
    for (wchar_t c : text) {
        switch (c) {
        case L'\0':
            return escaped;
        case L'\\':
            escaped += L"\\\\";
            break;
        case L'"':
            escaped += L"\\\"";
            break;
        case L'\r':
            escaped += L"\\r";
            break;
        case L'\n':
            escaped += L"\\n";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

class Writer {
public:
    void Key(const std::wstring& path) {
        m_Text += L"\r\n[";
        m_Text += path;
        m_Text += L"]\r\n";
    }

    void Value(const RegValue& value) {
        size_t start = m_Text.size();
        if (value.name.empty()) {
            m_Text += L"@=";
        } else {
            m_Text += L'"';
            m_Text += Escaped(value.name);
            m_Text += L"\"=";
        }
        size_t lineLength = m_Text.size() - start;
        if (value.type == REG_SZ) {
            m_Text += L'"';
            m_Text += Escaped(FromUtf16Le(value.data));
            m_Text += L'"';
        } else if (value.type == REG_DWORD && value.data.size() == 4) {
            unsigned long number = 0;
            for (int i = 3; i >= 0; --i) {
                number =
                    (number << 8) | static_cast<unsigned char>(value.data[static_cast<size_t>(i)]);
            }
            wchar_t buffer[16];
            std::swprintf(buffer, 16, L"dword:%08lx", number);
            m_Text += buffer;
        } else {
            Hex(value.type, value.data, lineLength);
        }
        m_Text += L"\r\n";
    }

    std::string File() const {
        std::string bytes = "\xFF\xFE";
        bytes += ToUtf16Le(L"Windows Registry Editor Version 5.00\r\n" + m_Text + L"\r\n");
        return bytes;
    }

private:
    void Hex(DWORD type, const std::string& data, size_t lineLength) {
        wchar_t buffer[24];
        if (type == REG_BINARY) {
            std::swprintf(buffer, 24, L"hex:");
        } else {
            std::swprintf(buffer, 24, L"hex(%lx):", static_cast<unsigned long>(type));
        }
        m_Text += buffer;
        lineLength += std::wstring(buffer).size();
        static const wchar_t digits[] = L"0123456789abcdef";
        for (size_t i = 0; i < data.size(); ++i) {
            auto byte = static_cast<unsigned char>(data[i]);
            m_Text += digits[byte >> 4];
            m_Text += digits[byte & 0xF];
            if (i + 1 == data.size()) {
                break;
            }
            m_Text += L',';
            lineLength += 3;
            if (lineLength >= kHexLineLimit) {
                m_Text += L"\\\r\n  ";
                lineLength = 2;
            }
        }
    }

    std::wstring m_Text;
};

// Keys are at most this deep on Windows; deeper means a link leads back up the tree.
const size_t kMaxKeyDepth = 512;

void ExportTree(Registry& registry, RegRoot root, std::vector<std::wstring>& path,
                const std::wstring& shownPath, bool view32, Writer& writer) {
    RegKeyView view = registry.Open(root, path, view32);
    if (!view || path.size() > kMaxKeyDepth) {
        return;
    }
    writer.Key(shownPath);
    for (const RegValue* value : Registry::ValuesOf(view)) {
        writer.Value(*value);
    }
    for (const std::wstring& name : Registry::SubkeyNames(view)) {
        path.push_back(name);
        ExportTree(registry, root, path, shownPath + L"\\" + name, view32, writer);
        path.pop_back();
    }
}

} // namespace

bool ExportRegistryKey(const std::wstring& keyPath, std::string& fileBytes, DWORD& exitCode,
                       REGSAM view) {
    fileBytes.clear();
    exitCode = 1;
    std::wstring first = keyPath.substr(0, keyPath.find(L'\\'));
    const RootSpelling* root = nullptr;
    for (const RootSpelling& candidate : kRoots) {
        if (SameRegistryName(first, candidate.longName) ||
            SameRegistryName(first, candidate.shortName)) {
            root = &candidate;
        }
    }
    if (root == nullptr || ((view & KEY_WOW64_32KEY) && (view & KEY_WOW64_64KEY))) {
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
    if (!machine.registry.Open(root->root, path, view32)) {
        return false;
    }
    Writer writer;
    std::wstring shownPath = root->longName;
    if (!subKey.empty()) {
        shownPath += L"\\" + subKey;
    }
    ExportTree(machine.registry, root->root, path, shownPath, view32, writer);
    fileBytes = writer.File();
    exitCode = 0;
    return true;
}

} // namespace sim
