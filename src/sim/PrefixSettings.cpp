#include "sim/PrefixSettings.h"

#include "sim/CodePage.h"
#include "sim/Environment.h"
#include "sim/Paths.h"
#include "sim/Registry.h"

#include <cctype>
#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

namespace sim {

namespace {

// A text value's text, up to its terminator.
std::wstring TextOf(const RegValue& value) {
    std::wstring text = FromUtf16Le(value.data);
    return text.substr(0, text.find(L'\0'));
}

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
    return TextOf(*value);
}

void SetDefault(Environment& environment, const std::wstring& name, const std::wstring& value) {
    if (FindVariable(environment, name) == nullptr && !value.empty()) {
        environment.emplace_back(name, value);
    }
}

// Adds the values of an environment key: plain ones first, then the expandable ones expanded
// with what is known by then. PATH of the user's environment goes after the machine's.
void AddEnvironmentKey(Registry& registry, RegRoot root, const std::wstring& path,
                       Environment& environment, bool appendPath) {
    std::vector<std::wstring> parts;
    SplitRegistryPath(path, parts);
    RegKeyView view = registry.Open(root, parts, false);
    for (int pass = 0; pass < 2; ++pass) {
        for (size_t i = 0; const RegValue* value = Registry::ValueAt(view, i); ++i) {
            bool expandable = value->type == REG_EXPAND_SZ;
            if ((value->type != REG_SZ && !expandable) || expandable != (pass == 1)) {
                continue;
            }
            std::wstring text =
                expandable ? ExpandVariables(environment, TextOf(*value)) : TextOf(*value);
            const std::wstring* existing = FindVariable(environment, value->name);
            if (appendPath && existing != nullptr && SameName(value->name, L"PATH")) {
                text = *existing + L";" + text;
            }
            SetVariable(environment, value->name, text);
        }
    }
}

} // namespace

void MapPrefixDrives(Machine& machine, const std::string& prefix) {
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

void ReadPrefixSettings(Machine& machine, const std::string& systemFile,
                        std::vector<std::string>& problems, const std::wstring& profile) {
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
    SetDefault(environment, L"USERPROFILE",
               !profile.empty() ? profile
                                : TextValue(registry, hklm,
                                            L"Software\\Microsoft\\Windows NT\\CurrentVersion\\"
                                            L"ProfileList\\S-1-5-21-0-0-0-1000",
                                            L"ProfileImagePath"));
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
        const std::wstring* value = FindVariable(environment, name);
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
    const std::wstring* appDataVariable = FindVariable(environment, L"APPDATA");
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

} // namespace sim
