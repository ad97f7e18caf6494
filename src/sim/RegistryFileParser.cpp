// The reader of Wine's registry files ("WINE REGISTRY Version 2"): key lines "[path] time",
// values "name"=data in Wine's escaped notation, hex data continued over lines, and the options
// #arch=, #link, #time=, #class=.
#include "sim/LineReader.h"
#include "sim/Registry.h"
#include "sim/RegistryFileText.h"
#include "sim/WinePrefix.h"

#include <cstdio>
#include <memory>
#include <string_view>
#include <sys/stat.h>

namespace sim {

namespace {

const char kFileSignature[] = "WINE REGISTRY Version 2";

class PendingSection : public PendingValues {
public:
    PendingSection(std::shared_ptr<const std::string> text, size_t offset, size_t line)
        : m_Text(std::move(text)), m_Offset(offset), m_Line(line) {}
    void ReadInto(RegKey& key) override;

private:
    std::shared_ptr<const std::string> m_Text;
    size_t m_Offset;
    size_t m_Line;
};

// The file's text, shared by the keys whose values are still to be read from it.
using FileText = std::shared_ptr<const std::string>;

// Parses the lines of a registry file. Loading a file indexes it: every key is created, every
// line checked (problems are reported with their line), and each key keeps where its values
// are; they are read, by a parser of that key's lines alone, when the key's values are first
// used.
class RegistryFileLoader {
public:
    // Indexes a whole file.
    RegistryFileLoader(const std::string& path, FileText text, RegKey& branch, std::string& arch,
                       std::vector<std::string>& problems)
        : m_FilePath(path), m_File(std::move(text)), m_Reader(*m_File), m_Branch(&branch),
          m_Arch(&arch), m_Problems(&problems), m_Indexing(true) {}
    // Reads the values of one key from offset on, up to the next key line.
    RegistryFileLoader(FileText text, size_t offset, size_t line, RegKey& key)
        : m_File(std::move(text)), m_Reader(*m_File, offset, line), m_Key(&key), m_Indexing(false) {
    }

    bool Load() {
        std::string_view line;
        if (!m_Reader.Next(line) || line != kFileSignature) {
            Problem("not a Wine registry file (the first line is not \"" +
                    std::string(kFileSignature) + "\")");
            return false;
        }
        while (m_Reader.Next(line)) {
            ParseLine(line);
        }
        return true;
    }

    void ReadKey() {
        std::string_view line;
        while (m_Reader.Next(line)) {
            size_t pos = 0;
            SkipBlanks(line, pos);
            if (pos < line.size() && line[pos] == '[') {
                return;
            }
            ParseLine(line);
        }
    }

private:
    void Problem(const std::string& what) {
        if (m_Problems == nullptr) {
            // Reading a key's values again: its problems were reported when the file was indexed.
            return;
        }
        m_Problems->push_back(m_FilePath + ":" + std::to_string(m_Reader.Number()) + ": " + what);
    }

    void ParseLine(std::string_view line) {
        size_t pos = 0;
        SkipBlanks(line, pos);
        if (pos == line.size()) {
            return;
        }
        switch (line[pos]) {
        case '[':
            ParseKey(line, pos + 1);
            break;
        case '@':
            ++pos;
            m_Name.clear();
            ParseValue(line, pos);
            break;
        case '"':
            ++pos;
            if (!(m_Indexing ? SkipString(line, pos, '"') : ParseString(line, pos, '"', m_Name))) {
                Problem("unterminated value name");
                return;
            }
            ParseValue(line, pos);
            break;
        case '#':
            ParseOption(line.substr(pos));
            break;
        case ';':
            break;
        default:
            Problem("unrecognised line");
        }
    }

    void ParseKey(std::string_view line, size_t pos) {
        m_Key = nullptr;
        m_IsLink = false;
        if (!ParseString(line, pos, ']', m_Text)) {
            Problem("unterminated key name");
            return;
        }
        std::vector<std::wstring> parts;
        if (!SplitRegistryPath(m_Text, parts)) {
            Problem("malformed key name");
            return;
        }
        // Files list a key's subkeys after it: the names the last key shares with this one are
        // found again from the keys walked then.
        size_t shared = 0;
        while (shared < parts.size() && shared < m_Path.size() && parts[shared] == m_Path[shared]) {
            ++shared;
        }
        m_Walked.resize(shared);
        m_Path.resize(shared);
        RegKey* key = shared == 0 ? m_Branch : m_Walked.back();
        for (size_t i = shared; i < parts.size(); ++i) {
            key = &key->CreateSubkey(parts[i]);
            m_Walked.push_back(key);
            m_Path.push_back(std::move(parts[i]));
        }
        m_Key = key;
        // A key named twice has its first values read before the second ones are indexed.
        key->SetPendingValues(
            std::make_unique<PendingSection>(m_File, m_Reader.Offset(), m_Reader.Number() + 1));
    }

    void ParseOption(std::string_view option) {
        if (StartsWith(option, 0, "#arch=")) {
            if (m_Arch != nullptr) {
                *m_Arch = std::string(option.substr(6));
            }
        } else if (option == "#link") {
            m_IsLink = true;
            if (m_Indexing && m_Key != nullptr) {
                // Opening a key follows its link: a link key's values are read at once.
                m_Key->ReadPendingValues();
            }
        }
        // #time= and #class= carry nothing the machine needs.
    }

    void ParseValue(std::string_view line, size_t pos) {
        SkipBlanks(line, pos);
        if (pos == line.size() || line[pos] != '=') {
            Problem("value without '='");
            return;
        }
        ++pos;
        SkipBlanks(line, pos);
        DWORD type = REG_SZ;
        m_Data.clear();
        if (StartsWith(line, pos, "\"")) {
            ++pos;
            if (!ParseText(line, pos)) {
                return;
            }
        } else if (StartsWith(line, pos, "str:\"") || StartsWith(line, pos, "str(")) {
            if (line[pos + 3] == '(') {
                pos += 4;
                if (!ParseType(line, pos, type) || !StartsWith(line, pos, ":\"")) {
                    Problem("malformed string type");
                    return;
                }
                pos += 2;
            } else {
                pos += 5;
            }
            if (!ParseText(line, pos)) {
                return;
            }
        } else if (StartsWith(line, pos, "dword:")) {
            type = REG_DWORD;
            pos += 6;
            unsigned long number = 0;
            int digits = 0;
            for (; pos < line.size() && HexDigit(line[pos]) >= 0 && digits < 8; ++pos, ++digits) {
                number = number * 16 + static_cast<unsigned long>(HexDigit(line[pos]));
            }
            SkipBlanks(line, pos);
            if (digits == 0 || pos != line.size()) {
                Problem("malformed dword");
                return;
            }
            for (int i = 0; i < 4; ++i) {
                m_Data += static_cast<char>((number >> (8 * i)) & 0xFF);
            }
        } else if (StartsWith(line, pos, "hex:") || StartsWith(line, pos, "hex(")) {
            type = REG_BINARY;
            if (line[pos + 3] == '(') {
                pos += 4;
                if (!ParseType(line, pos, type) || !StartsWith(line, pos, ":")) {
                    Problem("malformed hex type");
                    return;
                }
                pos += 1;
            } else {
                pos += 4;
            }
            if (!ParseHex(line, pos)) {
                return;
            }
        } else {
            Problem("unrecognised value data");
            return;
        }
        Store(type);
    }

    bool ParseType(std::string_view line, size_t& pos, DWORD& type) {
        unsigned long number = 0;
        int digits = 0;
        for (; pos < line.size() && HexDigit(line[pos]) >= 0 && digits < 8; ++pos, ++digits) {
            number = number * 16 + static_cast<unsigned long>(HexDigit(line[pos]));
        }
        if (digits == 0 || pos == line.size() || line[pos] != ')') {
            return false;
        }
        ++pos;
        type = static_cast<DWORD>(number);
        return true;
    }

    // A quoted text: kept as UTF-16LE with a terminating NUL.
    bool ParseText(std::string_view line, size_t& pos) {
        if (m_Indexing) {
            // Only where the text ends matters until the key's values are read.
            if (!SkipString(line, pos, '"')) {
                Problem("unterminated string");
                return false;
            }
            return true;
        }
        if (!ParseString(line, pos, '"', m_Text)) {
            Problem("unterminated string");
            return false;
        }
        m_Data.clear();
        for (wchar_t c : m_Text) {
            AppendUtf16Le(m_Data, c);
        }
        m_Data.append(2, '\0');
        return true;
    }

    // Hex bytes separated by commas; a line that ends in a backslash goes on in the next one.
    bool ParseHex(std::string_view line, size_t pos) {
        while (true) {
            SkipBlanks(line, pos);
            if (pos == line.size()) {
                return true;
            }
            if (line[pos] == '\\' && pos + 1 == line.size()) {
                if (!m_Reader.Next(line)) {
                    Problem("unexpected end of file in hex data");
                    return false;
                }
                pos = 0;
                continue;
            }
            int high = HexDigit(line[pos]);
            int low = pos + 1 < line.size() ? HexDigit(line[pos + 1]) : -1;
            if (high < 0 || low < 0) {
                Problem("malformed hex data");
                return false;
            }
            if (!m_Indexing) {
                m_Data += static_cast<char>(high * 16 + low);
            }
            pos += 2;
            SkipBlanks(line, pos);
            if (pos < line.size() && line[pos] == ',') {
                ++pos;
            } else if (pos < line.size() && line[pos] != '\\') {
                Problem("malformed hex data");
                return false;
            }
        }
    }

    void Store(DWORD type) {
        if (m_Indexing || m_Key == nullptr) {
            // The key line was malformed; its values go with it.
            return;
        }
        if (m_IsLink && type == REG_LINK && SameName(m_Name, L"SymbolicLinkValue")) {
            m_Key->linkTarget = FromUtf16Le(m_Data);
        }
        m_Key->SetValue(m_Name, type, std::move(m_Data));
    }

    std::string m_FilePath;
    FileText m_File;
    LineReader m_Reader;
    RegKey* m_Branch = nullptr;
    std::string* m_Arch = nullptr;
    std::vector<std::string>* m_Problems = nullptr;
    RegKey* m_Key = nullptr;
    bool m_Indexing;
    // The names of the last key line and the keys they lead to.
    std::vector<std::wstring> m_Path;
    std::vector<RegKey*> m_Walked;
    bool m_IsLink = false;
    std::wstring m_Name;
    std::wstring m_Text;
    std::string m_Data;
};

void PendingSection::ReadInto(RegKey& key) {
    RegistryFileLoader(m_Text, m_Offset, m_Line, key).ReadKey();
}

} // namespace

bool LoadWineRegistryFile(const std::string& path, RegKey& branch, std::string& arch,
                          std::vector<std::string>& problems) {
    auto text = std::make_shared<std::string>();
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        problems.push_back(path + ": cannot be read");
        return false;
    }
    char chunk[1 << 16];
    struct stat info;
    if (fstat(fileno(file), &info) == 0 && info.st_size > 0) {
        text->reserve(static_cast<size_t>(info.st_size));
    }
    for (size_t read; (read = std::fread(chunk, 1, sizeof chunk, file)) > 0;) {
        text->append(chunk, read);
    }
    std::fclose(file);
    return RegistryFileLoader(path, std::move(text), branch, arch, problems).Load();
}

} // namespace sim
