#include "sim/WindowsVolume.h"

#include "sim/CodePage.h"
#include "sim/Hive.h"
#include "sim/PrefixSettings.h"
#include "sim/Registry.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>

namespace fs = std::filesystem;

namespace sim {

namespace {

bool SameAscii(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// The host path of names below a folder, each found as spelt or else without regard to case;
// empty when one is missing.
std::string Find(const std::string& folder, std::initializer_list<const char*> names) {
    fs::path path(folder);
    for (const char* name : names) {
        std::error_code error;
        if (fs::exists(path / name, error)) {
            path /= name;
            continue;
        }
        fs::path found;
        for (fs::directory_iterator entry(path, error), end; !error && entry != end;
             entry.increment(error)) {
            if (SameAscii(entry->path().filename().string(), name)) {
                found = entry->path();
                break;
            }
        }
        if (found.empty()) {
            return "";
        }
        path = found;
    }
    return path.string();
}

// Opens a hive as a branch; a missing hive leaves the branch empty with a problem.
bool LoadHive(const std::string& file, const std::string& described, RegKey& branch,
              const HiveProblems& problems, std::string& error) {
    if (file.empty()) {
        problems(described + " is missing; its keys are empty");
        return true;
    }
    return ReadHive(file, branch, error, problems);
}

std::wstring Text(Registry& registry, const std::vector<std::wstring>& path,
                  const std::wstring& name) {
    const RegValue* value =
        Registry::FindValue(registry.Open(RegRoot::LocalMachine, path, false), name);
    if (value == nullptr || (value->type != REG_SZ && value->type != REG_EXPAND_SZ)) {
        return L"";
    }
    std::wstring text = FromUtf16Le(value->data);
    return text.substr(0, text.find(L'\0'));
}

// CurrentControlSet exists only while Windows runs: it is a link to the control set that
// SYSTEM\Select\Current names.
void LinkCurrentControlSet(Registry& registry, const std::string& systemFile,
                           const HiveProblems& problems) {
    const RegValue* current = Registry::FindValue(
        registry.Open(RegRoot::LocalMachine, {L"SYSTEM", L"Select"}, false), L"Current");
    if (current == nullptr || current->type != REG_DWORD || current->data.size() != 4) {
        if (!systemFile.empty()) {
            problems(systemFile + ": Select\\Current names no control set; "
                                  "CurrentControlSet is missing");
        }
        return;
    }
    unsigned number = 0;
    for (int i = 3; i >= 0; --i) {
        number = number * 256 + static_cast<unsigned char>(current->data[i]);
    }
    wchar_t name[32];
    std::swprintf(name, 32, L"ControlSet%03u", number);
    RegKey& link = registry.Tree(RegRoot::LocalMachine)
                       ->CreateSubkey(L"SYSTEM")
                       .CreateSubkey(L"CurrentControlSet");
    link.SetLinkTarget(std::wstring(L"\\Registry\\Machine\\SYSTEM\\") + name);
}

} // namespace

bool IsWindowsVolume(const std::string& root) {
    std::error_code error;
    std::string config = Find(root, {"Windows", "System32", "config"});
    return !config.empty() && fs::is_directory(config, error);
}

std::vector<std::string> VolumeProfiles(const std::string& root) {
    std::vector<std::string> profiles;
    std::string users = Find(root, {"Users"});
    std::error_code error;
    for (fs::directory_iterator entry(users.empty() ? fs::path() : fs::path(users), error), end;
         !users.empty() && !error && entry != end; entry.increment(error)) {
        if (!Find(entry->path().string(), {"NTUSER.DAT"}).empty()) {
            profiles.push_back(entry->path().filename().string());
        }
    }
    std::sort(profiles.begin(), profiles.end());
    return profiles;
}

std::unique_ptr<Machine> LoadWindowsVolume(const std::string& root, const std::string& user,
                                           const HiveProblems& problems, std::string& error) {
    std::unique_ptr<Machine> machine = Machine::Empty();
    std::wstring hostTemp = machine->tempPath;
    machine->MapDrive('C', root);
    Registry& registry = machine->registry;
    RegKey& hklm = *registry.Tree(RegRoot::LocalMachine);
    std::string config = Find(root, {"Windows", "System32", "config"});
    std::string software = config.empty() ? "" : Find(config, {"SOFTWARE"});
    std::string system = config.empty() ? "" : Find(config, {"SYSTEM"});
    std::string defaultHive = config.empty() ? "" : Find(config, {"DEFAULT"});
    if (!LoadHive(software, "the SOFTWARE hive", hklm.CreateSubkey(L"SOFTWARE"), problems, error) ||
        !LoadHive(system, "the SYSTEM hive", hklm.CreateSubkey(L"SYSTEM"), problems, error) ||
        (!defaultHive.empty() &&
         !ReadHive(defaultHive, registry.Tree(RegRoot::Users)->CreateSubkey(L".Default"), error,
                   problems))) {
        return nullptr;
    }
    LinkCurrentControlSet(registry, system, problems);
    std::wstring profile;
    if (!user.empty()) {
        std::string folder = Find(root, {"Users", user.c_str()});
        RegKey& hkcu = *registry.Tree(RegRoot::CurrentUser);
        // Software\Classes is made after NTUSER.DAT has been opened, so that what UsrClass.dat
        // holds comes after (and over) what NTUSER.DAT keeps there.
        if (!LoadHive(folder.empty() ? "" : Find(folder, {"NTUSER.DAT"}),
                      "the profile " + user + "'s NTUSER.DAT", hkcu, problems, error) ||
            !LoadHive(folder.empty() ? ""
                                     : Find(folder, {"AppData", "Local", "Microsoft", "Windows",
                                                     "UsrClass.dat"}),
                      "the profile " + user + "'s UsrClass.dat",
                      hkcu.CreateSubkey(L"Software").CreateSubkey(L"Classes"), problems, error)) {
            return nullptr;
        }
        profile = L"C:\\Users\\" + Utf8ToWide(user);
    }
    std::wstring architecture = Text(
        registry, {L"SYSTEM", L"CurrentControlSet", L"Control", L"Session Manager", L"Environment"},
        L"PROCESSOR_ARCHITECTURE");
    machine->is64Bit = architecture == L"AMD64" || architecture == L"ARM64";
    std::vector<std::string> settingsProblems;
    ReadPrefixSettings(*machine, software.empty() ? root : software, settingsProblems, profile);
    for (const std::string& problem : settingsProblems) {
        problems(problem);
    }
    // The log and the program's other files go to the host, never to the volume.
    machine->tempPath = hostTemp;
    return machine;
}

} // namespace sim
