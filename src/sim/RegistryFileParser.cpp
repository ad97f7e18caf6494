// The reader of Wine's registry files ("WINE REGISTRY Version 2"): key lines "[path] time",
// values "name"=data in Wine's escaped notation, hex data continued over lines, and the options
// #arch=, #link, #time=, #class=.
//
// Loading reads the whole file and checks every line, reporting problems with their line. The
// keys of the first levels are made then; a deeper key line is kept at its key of the last of
// those levels, and each key keeps where its values are: a key's subkeys are made, and its values
// decoded, when they are first used (RegKey::Unread), as if all had been read at once.
#include "sim/FileText.h"
#include "sim/LineReader.h"
#include "sim/Names.h"
#include "sim/RegKey.h"
#include "sim/RegistryFileText.h"
#include "sim/Utf16.h"
#include "sim/WinePrefix.h"

#include <algorithm>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

namespace sim {

namespace {

const char kFileSignature[] = "WINE REGISTRY Version 2";

// Keys down to this depth below the branch a file is loaded into are made on loading (there are
// few of them, and their lines are at hand then).
const size_t kMadeDepth = 2;

using File = std::shared_ptr<const FileText>;

// A key line of a file: where the rest of its path begins (below a key; npos for the key's own
// line) and where the values of its key begin.
struct KeyLine {
    size_t path;
    size_t values;
};

const size_t kOwnLine = std::string::npos;

// The lines of one file that a key has not read yet: its own (its values) and those below it.
class KeyLines : public RegKey::Unread {
public:
    explicit KeyLines(File file) : m_File(std::move(file)) {}

    void AddValues(RegKey& key) override;
    void AddSubkeys(RegKey& key) override;

    // The lines of this file that a key keeps (made on first need).
    static KeyLines& Of(RegKey& key, const File& file) {
        auto* lines = dynamic_cast<KeyLines*>(key.UnreadPart());
        if (lines == nullptr || lines->m_File != file) {
            // What another file left is made first.
            key.Values();
            key.SubkeyCount();
            auto made = std::make_unique<KeyLines>(file);
            lines = made.get();
            key.SetUnread(std::move(made));
        }
        return *lines;
    }
    void Add(const KeyLine& line) { (line.path == kOwnLine ? m_Own : m_Below).push_back(line); }

private:
    File m_File;
    std::vector<KeyLine> m_Own;
    std::vector<KeyLine> m_Below;
};

// Reads a number of one to eight hex digits from pos on; false when there is no digit.
bool ReadHexNumber(std::string_view line, size_t& pos, unsigned long& number) {
    size_t start = pos;
    for (number = 0; pos < line.size() && HexDigit(line[pos]) >= 0 && pos - start < 8; ++pos) {
        number = number * 16 + static_cast<unsigned long>(HexDigit(line[pos]));
    }
    return pos > start;
}

// Reads one value line, "name"=data or @=data, from pos (at its '@' or '"'); hex data goes on
// over the following lines of the reader. With `value`, decodes the value into it; else only
// checks it. The problem, or null.
const char* ReadValue(LineReader& reader, std::string_view line, size_t pos, RegValue* value) {
    bool split = false;
    if (line[pos++] == '"' && !(value != nullptr ? DecodeText(line, pos, '"', split, value->name)
                                                 : SkipText(line, pos, '"'))) {
        return "unterminated value name";
    }
    SkipBlanks(line, pos);
    if (pos == line.size() || line[pos] != '=') {
        return "value without '='";
    }
    ++pos;
    SkipBlanks(line, pos);
    // A quoted text alone, or the type: str:"...", str(n):"...", dword:, hex:, hex(n):.
    DWORD type = REG_SZ;
    bool hex = false;
    if (pos == line.size() || line[pos] != '"') {
        hex = StartsWith(line, pos, "hex:") || StartsWith(line, pos, "hex(");
        if (hex || StartsWith(line, pos, "str:\"") || StartsWith(line, pos, "str(")) {
            const char* malformed = hex ? "malformed hex type" : "malformed string type";
            type = hex ? REG_BINARY : REG_SZ;
            pos += 3;
            if (line[pos] == '(') {
                unsigned long number = 0;
                if (!ReadHexNumber(line, ++pos, number) || !StartsWith(line, pos, ")")) {
                    return malformed;
                }
                ++pos;
                type = static_cast<DWORD>(number);
            }
            if (!StartsWith(line, pos, hex ? ":" : ":\"")) {
                return malformed;
            }
            ++pos;
        } else if (StartsWith(line, pos, "dword:")) {
            pos += 6;
            unsigned long number = 0;
            bool digits = ReadHexNumber(line, pos, number);
            SkipBlanks(line, pos);
            if (!digits || pos != line.size()) {
                return "malformed dword";
            }
            if (value != nullptr) {
                value->type = REG_DWORD;
                value->data.clear();
                for (int i = 0; i < 4; ++i) {
                    value->data += static_cast<char>((number >> (8 * i)) & 0xFF);
                }
            }
            return nullptr;
        } else {
            return "unrecognised value data";
        }
    }
    if (value != nullptr) {
        value->type = type;
        value->data.clear();
    }
    if (!hex) {
        // A quoted text, kept as UTF-16LE with a terminating NUL.
        std::wstring text;
        ++pos;
        if (!(value != nullptr ? DecodeText(line, pos, '"', split, text)
                               : SkipText(line, pos, '"'))) {
            return "unterminated string";
        }
        if (value != nullptr) {
            value->data = RegistryText(text);
        }
    } else {
        // Hex bytes separated by commas; a line that ends in a backslash goes on in the next.
        while (true) {
            // Most bytes are written "hh," with nothing between.
            while (pos + 2 < line.size() && line[pos + 2] == ',' && HexDigit(line[pos]) >= 0 &&
                   HexDigit(line[pos + 1]) >= 0) {
                if (value != nullptr) {
                    value->data +=
                        static_cast<char>(HexDigit(line[pos]) * 16 + HexDigit(line[pos + 1]));
                }
                pos += 3;
            }
            SkipBlanks(line, pos);
            if (pos == line.size()) {
                break;
            }
            if (line[pos] == '\\' && pos + 1 == line.size()) {
                if (!reader.Next(line)) {
                    return "unexpected end of file in hex data";
                }
                pos = 0;
                continue;
            }
            int high = HexDigit(line[pos]);
            int low = pos + 1 < line.size() ? HexDigit(line[pos + 1]) : -1;
            if (high < 0 || low < 0) {
                return "malformed hex data";
            }
            if (value != nullptr) {
                value->data += static_cast<char>(high * 16 + low);
            }
            pos += 2;
            SkipBlanks(line, pos);
            if (pos < line.size() && line[pos] == ',') {
                ++pos;
            } else if (pos < line.size() && line[pos] != '\\') {
                return "malformed hex data";
            }
        }
    }
    return nullptr;
}

// Reads the values of a key from its lines: each up to the next key line.
void KeyLines::AddValues(RegKey& key) {
    // Taken first: setting the values asks for them again.
    std::vector<KeyLine> own = std::move(m_Own);
    m_Own.clear();
    std::string_view text = m_File->Text();
    for (const KeyLine& start : own) {
        LineReader reader(text, start.values);
        std::string_view line;
        bool link = false;
        while (reader.Next(line)) {
            size_t pos = 0;
            SkipBlanks(line, pos);
            if (pos == line.size()) {
                continue;
            }
            if (line[pos] == '[') {
                break;
            }
            link = link || line.substr(pos) == "#link";
            RegValue value;
            if ((line[pos] != '@' && line[pos] != '"') ||
                ReadValue(reader, line, pos, &value) != nullptr) {
                // Options and comments; problems were reported when the file was loaded.
                continue;
            }
            if (link && value.type == REG_LINK && SameName(value.name, L"SymbolicLinkValue")) {
                key.SetLinkTarget(FromUtf16Le(value.data));
            }
            key.SetValue(value.name, value.type, std::move(value.data));
        }
    }
}

// Makes the subkeys that the lines below a key name first, in the lines' order, and leaves each
// line at its subkey.
void KeyLines::AddSubkeys(RegKey& key) {
    std::vector<KeyLine> below = std::move(m_Below);
    m_Below.clear();
    std::string_view text = m_File->Text();
    std::wstring name;
    std::wstring lastName;
    std::string_view lastSpelling;
    KeyLines* lines = nullptr;
    for (const KeyLine& line : below) {
        size_t pos = line.path;
        bool split = true;
        bool empty = false;
        SkipName(text, pos, split, empty);
        // Files list a key's subkeys together: most lines name the subkey the last one did, and
        // spell it alike, which needs no decoding.
        std::string_view spelling = text.substr(line.path, pos - line.path);
        if (lines == nullptr || spelling != lastSpelling) {
            size_t at = line.path;
            bool named = true;
            DecodeText(text, at, ']', named, name);
            if (lines == nullptr || name != lastName) {
                lines = &Of(key.CreateSubkey(name), m_File);
                lastName = name;
            }
            lastSpelling = spelling;
        }
        bool more = split && pos < text.size() && text[pos] != ']';
        lines->Add(KeyLine{more ? pos : kOwnLine, line.values});
    }
}

// Checks the lines of a file and makes the keys of its first levels.
class FileLoader {
public:
    // The reader gives the file's lines at the file's offsets.
    FileLoader(const std::string& path, File file, LineReader reader, RegKey& branch,
               std::string& arch, std::vector<std::string>& problems)
        : m_Path(path), m_File(std::move(file)), m_Reader(std::move(reader)), m_Branch(branch),
          m_Arch(arch), m_Problems(problems) {}

    bool Load() {
        std::string_view line;
        if (!m_Reader.Next(line) || line != kFileSignature) {
            Problem("not a Wine registry file (the first line is not \"" +
                    std::string(kFileSignature) + "\")");
            return false;
        }
        while (m_Reader.Next(line)) {
            size_t pos = 0;
            SkipBlanks(line, pos);
            if (pos == line.size() || line[pos] == ';') {
                continue;
            }
            const char* problem = nullptr;
            if (line[pos] == '[') {
                problem = KeyLineAt(line, pos + 1);
            } else if (line[pos] == '@' || line[pos] == '"') {
                problem = ReadValue(m_Reader, line, pos, nullptr);
            } else if (StartsWith(line, pos, "#arch=")) {
                m_Arch = std::string(line.substr(pos + 6));
            } else if (line[pos] != '#') {
                // #link is read with the key's values; #time= and #class= carry nothing needed.
                problem = "unrecognised line";
            }
            if (problem != nullptr) {
                Problem(problem);
            }
        }
        return true;
    }

private:
    void Problem(const std::string& what) {
        m_Problems.push_back(m_Path + ":" + std::to_string(m_Reader.Number()) + ": " + what);
    }

    // A key line from after its '['. Its names are checked; those of the first levels are made
    // keys, and the line is kept at the last of them.
    const char* KeyLineAt(std::string_view line, size_t pos) {
        size_t depth = 0;
        size_t rest = kOwnLine;
        std::string_view spellings[kMadeDepth];
        for (bool split = true; split; ++depth) {
            if (depth == kMadeDepth) {
                rest = m_Reader.OffsetOf(line.data()) + pos;
            }
            size_t start = pos;
            bool empty = false;
            if (!SkipName(line, pos, split, empty)) {
                return "unterminated key name";
            }
            if (empty) {
                // One backslash before the closing bracket ends the path; any other empty name
                // is malformed.
                if (split) {
                    return "malformed key name";
                }
                rest = depth <= kMadeDepth ? kOwnLine : rest;
                break;
            }
            if (depth < kMadeDepth) {
                spellings[depth] = line.substr(start, pos - start);
            }
        }
        // The keys walked for the line before are reused as far as its names are spelt alike;
        // only a name spelt otherwise is decoded.
        size_t made = std::min(depth, kMadeDepth);
        size_t same = 0;
        while (same < made && same < m_Walked.size() &&
               m_WalkedSpellings[same] == spellings[same]) {
            ++same;
        }
        m_Walked.resize(same);
        m_WalkedSpellings.resize(same);
        for (size_t i = same; i < made; ++i) {
            size_t at = static_cast<size_t>(spellings[i].data() - line.data());
            bool split = true;
            DecodeText(line, at, ']', split, m_Name);
            RegKey& parent = i == 0 ? m_Branch : *m_Walked.back();
            m_Walked.push_back(&parent.CreateSubkey(m_Name));
            m_WalkedSpellings.emplace_back(spellings[i]);
        }
        RegKey& key = made == 0 ? m_Branch : *m_Walked.back();
        if (&key != m_LinesKey) {
            m_Lines = &KeyLines::Of(key, m_File);
            m_LinesKey = &key;
        }
        m_Lines->Add(KeyLine{rest, m_Reader.Offset()});
        return nullptr;
    }

    std::string m_Path;
    File m_File;
    LineReader m_Reader;
    RegKey& m_Branch;
    std::string& m_Arch;
    std::vector<std::string>& m_Problems;
    // The first names of the last key line as spelt in the file, and the keys they lead to.
    std::vector<std::string> m_WalkedSpellings;
    std::vector<RegKey*> m_Walked;
    std::wstring m_Name;
    // The key that the last key line was kept at, and its lines.
    RegKey* m_LinesKey = nullptr;
    KeyLines* m_Lines = nullptr;
};

} // namespace

bool LoadWineRegistryFile(const std::string& path, RegKey& branch, std::string& arch,
                          std::vector<std::string>& problems) {
    // Opened without waiting for a writer where a named pipe stands in the file's place.
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    auto file = std::make_shared<FileText>();
    bool read = fd >= 0 && file->Load(fd, path);
    // A mapped file is checked as it is read from fd, so that the check touches few pages.
    LineReader reader =
        read && file->Mapped() ? LineReader(fd, file->Text().size()) : LineReader(file->Text());
    bool loaded =
        read && FileLoader(path, std::move(file), std::move(reader), branch, arch, problems).Load();
    if (fd >= 0) {
        ::close(fd);
    }
    if (!read) {
        problems.push_back(path + ": cannot be read");
    }
    return loaded;
}

} // namespace sim
