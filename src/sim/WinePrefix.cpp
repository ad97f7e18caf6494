#include "sim/WinePrefix.h"

#include "sim/CodePage.h"
#include "sim/Paths.h"
#include "sim/Registry.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string_view>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace sim {

namespace {

const char kFileSignature[] = "WINE REGISTRY Version 2";

// Reads a file line by line into one buffer that grows to the longest line and is reused.
class LineReader {
public:
    explicit LineReader(const std::string& path) : m_File(std::fopen(path.c_str(), "rb")) {}
    ~LineReader() {
        if (m_File != nullptr) {
            std::fclose(m_File);
        }
        std::free(m_Buffer);
    }
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    bool IsOpen() const { return m_File != nullptr; }
    // The next line without its line end; false at the end of the file.
    bool Next(std::string_view& line) {
        ssize_t length = getline(&m_Buffer, &m_Capacity, m_File);
        if (length < 0) {
            return false;
        }
        ++m_Number;
        while (length > 0 && (m_Buffer[length - 1] == '\n' || m_Buffer[length - 1] == '\r')) {
            --length;
        }
        line = std::string_view(m_Buffer, static_cast<size_t>(length));
        return true;
    }
    size_t Number() const { return m_Number; }

private:
    std::FILE* m_File;
    char* m_Buffer = nullptr;
    size_t m_Capacity = 0;
    size_t m_Number = 0;
};

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

void SkipBlanks(std::string_view text, size_t& pos) {
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) {
        ++pos;
    }
}

bool StartsWith(std::string_view text, size_t pos, std::string_view prefix) {
    return text.substr(pos, prefix.size()) == prefix;
}

// Parses an escaped string from pos up to its closing delimiter (not included in the result;
// pos ends after it). False when the line ends first.
bool ParseString(std::string_view text, size_t& pos, char close, std::wstring& result) {
    result.clear();
    while (pos < text.size()) {
        char c = text[pos++];
        if (c == close) {
            return true;
        }
        if (c != '\\') {
            result += static_cast<wchar_t>(static_cast<unsigned char>(c));
            continue;
        }
        if (pos == text.size()) {
            return false;
        }
        c = text[pos++];
        switch (c) {
        case 'a':
            result += L'\a';
            break;
        case 'b':
            result += L'\b';
            break;
        case 'e':
            result += static_cast<wchar_t>(0x1B);
            break;
        case 'f':
            result += L'\f';
            break;
        case 'n':
            result += L'\n';
            break;
        case 'r':
            result += L'\r';
            break;
        case 't':
            result += L'\t';
            break;
        case 'v':
            result += L'\v';
            break;
        case 'x': {
            unsigned code = 0;
            int digits = 0;
            for (; digits < 4 && pos < text.size() && HexDigit(text[pos]) >= 0; ++digits) {
                code = code * 16 + static_cast<unsigned>(HexDigit(text[pos++]));
            }
            result += digits == 0 ? L'x' : static_cast<wchar_t>(code);
            break;
        }
        default:
            if (c >= '0' && c <= '7') {
                unsigned code = static_cast<unsigned>(c - '0');
                for (int digits = 1;
                     digits < 3 && pos < text.size() && text[pos] >= '0' && text[pos] <= '7';
                     ++digits) {
                    code = code * 8 + static_cast<unsigned>(text[pos++] - '0');
                }
                result += static_cast<wchar_t>(code);
            } else {
                result += static_cast<wchar_t>(static_cast<unsigned char>(c));
            }
        }
    }
    return false;
}

class RegistryFileLoader {
public:
    RegistryFileLoader(const std::string& path, RegKey& branch, std::string& arch,
                       std::vector<std::string>& problems)
        : m_Path(path), m_Reader(path), m_Branch(branch), m_Arch(arch), m_Problems(problems) {}

    bool Load() {
        if (!m_Reader.IsOpen()) {
            m_Problems.push_back(m_Path + ": cannot be read");
            return false;
        }
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

private:
    void Problem(const std::string& what) {
        m_Problems.push_back(m_Path + ":" + std::to_string(m_Reader.Number()) + ": " + what);
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
            if (!ParseString(line, pos, '"', m_Name)) {
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
        RegKey* key = &m_Branch;
        for (const std::wstring& part : parts) {
            key = &key->CreateSubkey(part);
        }
        m_Key = key;
    }

    void ParseOption(std::string_view option) {
        if (StartsWith(option, 0, "#arch=")) {
            m_Arch = std::string(option.substr(6));
        } else if (option == "#link") {
            m_IsLink = true;
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
        if (!ParseString(line, pos, '"', m_Text)) {
            Problem("unterminated string");
            return false;
        }
        m_Data = ToUtf16Le(m_Text);
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
            m_Data += static_cast<char>(high * 16 + low);
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
        if (m_Key == nullptr) {
            // The key line was malformed; its values go with it.
            return;
        }
        if (m_IsLink && type == REG_LINK && SameRegistryName(m_Name, L"SymbolicLinkValue")) {
            m_Key->linkTarget = FromUtf16Le(m_Data);
        }
        m_Key->SetValue(m_Name, type, m_Data);
    }

    std::string m_Path;
    LineReader m_Reader;
    RegKey& m_Branch;
    std::string& m_Arch;
    std::vector<std::string>& m_Problems;
    RegKey* m_Key = nullptr;
    bool m_IsLink = false;
    std::wstring m_Name;
    std::wstring m_Text;
    std::string m_Data;
};

const RegValue* FindValue(Registry& registry, RegRoot root, const std::wstring& path,
                          const std::wstring& name, bool view32 = false) {
    std::vector<std::wstring> parts;
    SplitRegistryPath(path, parts);
    return Registry::FindValue(registry.Open(root, parts, view32), name);
}

std::wstring TextValue(Registry& registry, RegRoot root, const std::wstring& path,
                       const std::wstring& name, bool view32 = false) {
    const RegValue* value = FindValue(registry, root, path, name, view32);
    if (value == nullptr ||
        (value->type != REG_SZ && value->type != REG_EXPAND_SZ && value->type != REG_LINK)) {
        return L"";
    }
    std::wstring text = FromUtf16Le(value->data);
    return text.substr(0, text.find(L'\0'));
}

using Environment = std::vector<std::pair<std::wstring, std::wstring>>;

std::wstring* Variable(Environment& environment, const std::wstring& name) {
    for (auto& variable : environment) {
        if (SameRegistryName(variable.first, name)) {
            return &variable.second;
        }
    }
    return nullptr;
}

void SetVariable(Environment& environment, const std::wstring& name, const std::wstring& value) {
    std::wstring* existing = Variable(environment, name);
    if (existing != nullptr) {
        *existing = value;
    } else {
        environment.emplace_back(name, value);
    }
}

void SetDefault(Environment& environment, const std::wstring& name, const std::wstring& value) {
    if (Variable(environment, name) == nullptr && !value.empty()) {
        environment.emplace_back(name, value);
    }
}

// %NAME% references of defined variables replaced; others stay.
std::wstring Expand(Environment& environment, const std::wstring& text) {
    std::wstring result;
    size_t i = 0;
    while (i < text.size()) {
        size_t open = text.find(L'%', i);
        size_t close = open == std::wstring::npos ? open : text.find(L'%', open + 1);
        if (close == std::wstring::npos) {
            result += text.substr(i);
            break;
        }
        result += text.substr(i, open - i);
        const std::wstring* value = Variable(environment, text.substr(open + 1, close - open - 1));
        if (value != nullptr) {
            result += *value;
            i = close + 1;
        } else {
            result += text.substr(open, close - open);
            i = close;
        }
    }
    return result;
}

// Adds the values of an environment key: plain ones first, then the expandable ones expanded
// with what is known by then. PATH of the user's environment goes after the machine's.
void AddEnvironmentKey(Registry& registry, RegRoot root, const std::wstring& path,
                       Environment& environment, bool appendPath) {
    std::vector<std::wstring> parts;
    SplitRegistryPath(path, parts);
    RegKeyView view = registry.Open(root, parts, false);
    for (int pass = 0; pass < 2; ++pass) {
        for (const RegValue* value : Registry::ValuesOf(view)) {
            bool expandable = value->type == REG_EXPAND_SZ;
            if ((value->type != REG_SZ && !expandable) || expandable != (pass == 1)) {
                continue;
            }
            std::wstring text = FromUtf16Le(value->data);
            text = text.substr(0, text.find(L'\0'));
            if (expandable) {
                text = Expand(environment, text);
            }
            std::wstring* existing = Variable(environment, value->name);
            if (appendPath && existing != nullptr && SameRegistryName(value->name, L"PATH")) {
                *existing += L";" + text;
            } else {
                SetVariable(environment, value->name, text);
            }
        }
    }
}

void MapDrives(Machine& machine, const std::string& prefix) {
    fs::path devices = fs::path(prefix) / "dosdevices";
    std::error_code error;
    bool mapped = false;
    for (fs::directory_iterator entry(devices, error), end; !error && entry != end;
         entry.increment(error)) {
        std::string name = entry->path().filename().string();
        if (name.size() != 2 || name[1] != ':' ||
            !std::isalpha(static_cast<unsigned char>(name[0]))) {
            continue;
        }
        std::error_code linkError;
        fs::path target = fs::read_symlink(entry->path(), linkError);
        if (linkError) {
            continue;
        }
        if (target.is_relative()) {
            target = devices / target;
        }
        machine.MapDrive(name[0], target.lexically_normal().string());
        mapped = true;
    }
    if (!mapped) {
        machine.MapDrive('C', (fs::path(prefix) / "drive_c").string());
        machine.MapDrive('Z', "/");
    }
}

void ReadSettings(Machine& machine, const std::string& systemFile,
                  std::vector<std::string>& problems) {
    Registry& registry = machine.registry;
    const RegRoot hklm = RegRoot::LocalMachine;
    const RegRoot hkcu = RegRoot::CurrentUser;

    std::wstring systemRoot = TextValue(
        registry, hklm, L"Software\\Microsoft\\Windows NT\\CurrentVersion", L"SystemRoot");
    if (systemRoot.empty()) {
        systemRoot = L"C:\\windows";
    }
    machine.windowsFolder = systemRoot;

    // The environment as a process of the user gets it: the machine's variables, the session's
    // (Volatile Environment), then the user's own.
    Environment environment;
    SetVariable(environment, L"SystemRoot", systemRoot);
    SetVariable(environment, L"SystemDrive", systemRoot.substr(0, 2));
    AddEnvironmentKey(registry, hklm,
                      L"System\\CurrentControlSet\\Control\\Session Manager\\Environment",
                      environment, false);
    AddEnvironmentKey(registry, hkcu, L"Volatile Environment", environment, false);
    const std::wstring shellFolders =
        L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
    std::wstring profile = TextValue(
        registry, hklm,
        L"Software\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\S-1-5-21-0-0-0-1000",
        L"ProfileImagePath");
    SetDefault(environment, L"USERPROFILE", profile);
    SetDefault(environment, L"APPDATA", TextValue(registry, hkcu, shellFolders, L"AppData"));
    SetDefault(environment, L"LOCALAPPDATA",
               TextValue(registry, hkcu, shellFolders, L"Local AppData"));
    // A 32-bit program on 64-bit Windows sees the 32-bit program folders.
    const std::wstring currentVersion = L"Software\\Microsoft\\Windows\\CurrentVersion";
    SetDefault(environment, L"ProgramFiles",
               TextValue(registry, hklm, currentVersion, L"ProgramFilesDir", machine.is64Bit));
    SetDefault(environment, L"CommonProgramFiles",
               TextValue(registry, hklm, currentVersion, L"CommonFilesDir", machine.is64Bit));
    SetDefault(environment, L"ProgramData", systemRoot.substr(0, 2) + L"\\ProgramData");
    SetDefault(environment, L"ALLUSERSPROFILE", systemRoot.substr(0, 2) + L"\\ProgramData");
    AddEnvironmentKey(registry, hkcu, L"Environment", environment, true);
    machine.environment = environment;

    // GetTempPath's order: TMP, TEMP, USERPROFILE, the Windows folder.
    std::wstring temp;
    for (const wchar_t* name : {L"TMP", L"TEMP", L"USERPROFILE"}) {
        const std::wstring* value = Variable(environment, name);
        if (value != nullptr && !value->empty()) {
            temp = *value;
            break;
        }
    }
    if (temp.empty()) {
        temp = systemRoot;
    }
    if (temp.back() != L'\\') {
        temp += L'\\';
    }
    machine.tempPath = temp;

    std::wstring appData = TextValue(registry, hkcu, shellFolders, L"AppData");
    const std::wstring* appDataVariable = Variable(environment, L"APPDATA");
    machine.appDataFolder =
        !appData.empty() ? appData : (appDataVariable != nullptr ? *appDataVariable : L"");

    std::wstring acp =
        TextValue(registry, hklm, L"System\\CurrentControlSet\\Control\\Nls\\CodePage", L"ACP");
    if (!acp.empty()) {
        unsigned long codePage = std::wcstoul(acp.c_str(), nullptr, 10);
        if (codePage != 0 && IsKnownCodePage(static_cast<unsigned>(codePage))) {
            machine.codePage = static_cast<UINT>(codePage);
        } else {
            problems.push_back(systemFile + ": the ANSI code page " + WideToUtf8(acp) +
                               " is unknown; using " + std::to_string(machine.codePage));
        }
    }

    const std::wstring international = L"Control Panel\\International";
    struct Picture {
        const wchar_t* name;
        std::wstring* field;
    };
    for (const Picture& picture :
         {Picture{L"sShortDate", &machine.shortDatePicture},
          Picture{L"sLongDate", &machine.longDatePicture},
          Picture{L"sTimeFormat", &machine.longTimePicture},
          Picture{L"s1159", &machine.amDesignator}, Picture{L"s2359", &machine.pmDesignator},
          Picture{L"sThousand", &machine.thousandSeparator}}) {
        if (FindValue(registry, hkcu, international, picture.name) != nullptr) {
            *picture.field = TextValue(registry, hkcu, international, picture.name);
        }
    }
}

} // namespace

bool IsWinePrefix(const std::string& folder) {
    struct stat info;
    return !folder.empty() && stat((folder + "/system.reg").c_str(), &info) == 0 &&
           S_ISREG(info.st_mode);
}

bool LoadWineRegistryFile(const std::string& path, RegKey& branch, std::string& arch,
                          std::vector<std::string>& problems) {
    RegistryFileLoader loader(path, branch, arch, problems);
    return loader.Load();
}

std::unique_ptr<Machine> LoadWinePrefix(const std::string& prefixFolder,
                                        std::vector<std::string>& problems) {
    if (!IsWinePrefix(prefixFolder)) {
        problems.push_back(prefixFolder + ": not a Wine prefix (it has no system.reg)");
        return nullptr;
    }
    auto machine = std::make_unique<Machine>();
    std::string systemFile = prefixFolder + "/system.reg";
    std::string arch;
    LoadWineRegistryFile(systemFile, *machine->registry.Tree(RegRoot::LocalMachine), arch,
                         problems);
    machine->is64Bit = arch == "win64";
    std::string userArch;
    LoadWineRegistryFile(prefixFolder + "/user.reg", *machine->registry.Tree(RegRoot::CurrentUser),
                         userArch, problems);
    std::string defaultFile = prefixFolder + "/userdef.reg";
    struct stat info;
    if (stat(defaultFile.c_str(), &info) == 0) {
        LoadWineRegistryFile(defaultFile,
                             machine->registry.Tree(RegRoot::Users)->CreateSubkey(L".Default"),
                             userArch, problems);
    }
    MapDrives(*machine, prefixFolder);
    ReadSettings(*machine, systemFile, problems);
    return machine;
}

} // namespace sim
