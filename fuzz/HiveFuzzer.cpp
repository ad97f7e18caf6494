// The hive reader on any bytes: a file that libhivex opens is the SOFTWARE hive and the user's
// hive of a 64-bit machine, and everything the checks can reach is walked: every key and value
// through the registry functions, in both views and through the merged HKEY_CLASSES_ROOT, and
// reg export of each root. Nothing may crash, hang or grow without bound, and every problem and
// error names the file.
#include "FuzzInput.h"

#include "sim/Hive.h"
#include "sim/Machine.h"
#include "sim/RegExport.h"

#include <vector>

namespace {

// Keys below this depth are not opened (the registry holds none deeper).
const size_t kMaxDepth = 512;

bool NamesFile(const std::string& sentence, const std::string& path) {
    return sentence.compare(0, path.size() + 1, path + ":") == 0;
}

// Reads every value of the key and of every key below it, as the checks read them: enumerated,
// then each read again by its name.
void Walk(HKEY root, const char* path, REGSAM view) {
    struct Opened {
        HKEY key;
        size_t depth;
    };
    HKEY top = nullptr;
    if (RegOpenKeyExA(root, path, 0, KEY_READ | view, &top) != ERROR_SUCCESS) {
        return;
    }
    std::vector<Opened> stack{{top, 0}};
    std::vector<char> name(1 << 16);
    std::vector<BYTE> data(256);
    while (!stack.empty()) {
        Opened at = stack.back();
        stack.pop_back();
        for (DWORD i = 0;; ++i) {
            DWORD nameLength = static_cast<DWORD>(name.size());
            DWORD type = 0;
            DWORD size = static_cast<DWORD>(data.size());
            LSTATUS status = RegEnumValueA(at.key, i, name.data(), &nameLength, nullptr, &type,
                                           data.data(), &size);
            if (status == ERROR_MORE_DATA && size > data.size()) {
                data.resize(size);
                --i;
                continue;
            }
            if (status == ERROR_NO_MORE_ITEMS) {
                break;
            }
            if (status == ERROR_SUCCESS) {
                size = static_cast<DWORD>(data.size());
                RegQueryValueExA(at.key, name.data(), nullptr, &type, data.data(), &size);
            }
        }
        for (DWORD i = 0;; ++i) {
            DWORD nameLength = static_cast<DWORD>(name.size());
            LSTATUS status = RegEnumKeyExA(at.key, i, name.data(), &nameLength, nullptr, nullptr,
                                           nullptr, nullptr);
            if (status == ERROR_NO_MORE_ITEMS) {
                break;
            }
            HKEY subkey = nullptr;
            if (status == ERROR_SUCCESS && at.depth + 1 < kMaxDepth &&
                RegOpenKeyExA(at.key, name.data(), 0, KEY_READ | view, &subkey) == ERROR_SUCCESS) {
                stack.push_back({subkey, at.depth + 1});
            }
        }
        RegCloseKey(at.key);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& path = fuzz::WriteInputFile(data, size);
    // Problems may come as long as the machine's keys are used: kept for the whole process.
    static std::vector<std::string> problems;
    problems.clear();
    std::unique_ptr<sim::Machine> machine = sim::Machine::Empty();
    machine->is64Bit = true;
    machine->launchViewer = false;
    sim::Registry& registry = machine->registry;
    auto report = [](const std::string& problem) { problems.push_back(problem); };
    std::string error;
    bool read =
        sim::ReadHive(path, registry.Tree(sim::RegRoot::LocalMachine)->CreateSubkey(L"SOFTWARE"),
                      error, report) &&
        sim::ReadHive(path, *registry.Tree(sim::RegRoot::CurrentUser), error, report);
    sim::InstallMachine(std::move(machine));
    if (!read) {
        if (!NamesFile(error, path)) {
            __builtin_trap();
        }
        return 0;
    }
    Walk(HKEY_LOCAL_MACHINE, "SOFTWARE", 0);
    Walk(HKEY_LOCAL_MACHINE, "SOFTWARE", KEY_WOW64_64KEY);
    Walk(HKEY_CURRENT_USER, "", 0);
    Walk(HKEY_CLASSES_ROOT, "", 0);
    for (const wchar_t* root : {L"HKLM\\SOFTWARE", L"HKCU", L"HKCR"}) {
        std::string file;
        DWORD exitCode = 0;
        sim::ExportRegistryKey(root, file, exitCode, KEY_WOW64_64KEY);
    }
    for (const std::string& problem : problems) {
        if (!NamesFile(problem, path)) {
            __builtin_trap();
        }
    }
    return 0;
}
