#include "sim/Machine.h"

#include "sim/CodePage.h"

#include <cstdlib>
#include <cwctype>

namespace sim {

namespace {

// The slot outlives the process's static objects: the machine current at exit is not taken
// apart, which for a large loaded registry would cost as much as loading it.
std::unique_ptr<Machine>& CurrentSlot() {
    static auto* current = new std::unique_ptr<Machine>(Machine::Empty());
    return *current;
}

std::string WithoutTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }
    return path;
}

} // namespace

std::unique_ptr<Machine> Machine::Empty() {
    auto machine = std::make_unique<Machine>();
    machine->MapDrive('Z', "/");
    const char* tmpdir = std::getenv("TMPDIR");
    std::string hostTemp =
        WithoutTrailingSlashes((tmpdir != nullptr && tmpdir[0] == '/') ? tmpdir : "/tmp");
    // Seen through Z:, the host's root: "/var/tmp" is "Z:\var\tmp\".
    machine->tempPath = L"Z:";
    for (wchar_t c : Utf8ToWide(hostTemp)) {
        machine->tempPath += c == L'/' ? L'\\' : c;
    }
    if (machine->tempPath.back() != L'\\') {
        machine->tempPath += L'\\';
    }
    return machine;
}

void Machine::MapDrive(char letter, const std::string& hostFolder) {
    m_Drives[static_cast<wchar_t>(std::towupper(static_cast<unsigned char>(letter)))] =
        WithoutTrailingSlashes(hostFolder);
}

std::optional<std::string> Machine::DriveRoot(wchar_t letter) const {
    auto found = m_Drives.find(static_cast<wchar_t>(std::towupper(letter)));
    if (found == m_Drives.end()) {
        return std::nullopt;
    }
    return found->second;
}

Machine& CurrentMachine() {
    return *CurrentSlot();
}

void InstallMachine(std::unique_ptr<Machine> machine) {
    CurrentSlot() = std::move(machine);
}

} // namespace sim
