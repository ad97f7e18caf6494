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
    std::string hostTemp = (tmpdir != nullptr && tmpdir[0] == '/') ? tmpdir : "/tmp";
    machine->tempPath = machine->WindowsPathOfHost(WithoutTrailingSlashes(hostTemp));
    if (machine->tempPath.empty() || machine->tempPath.back() != L'\\') {
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

std::wstring Machine::WindowsPathOfHost(const std::string& hostPath) const {
    const std::pair<const wchar_t, std::string>* best = nullptr;
    for (const auto& drive : m_Drives) {
        const std::string& root = drive.second;
        bool covers = root == "/"
                          ? (!hostPath.empty() && hostPath[0] == '/')
                          : (hostPath.compare(0, root.size(), root) == 0 &&
                             (hostPath.size() == root.size() || hostPath[root.size()] == '/'));
        if (covers && (best == nullptr || root.size() > best->second.size())) {
            best = &drive;
        }
    }
    if (best == nullptr) {
        return L"";
    }
    std::string rest =
        best->second == "/" ? hostPath.substr(1) : hostPath.substr(best->second.size());
    if (!rest.empty() && rest[0] == '/') {
        rest.erase(0, 1);
    }
    std::wstring windowsPath{best->first, L':', L'\\'};
    for (wchar_t c : Utf8ToWide(rest)) {
        windowsPath += c == L'/' ? L'\\' : c;
    }
    return windowsPath;
}

Machine& CurrentMachine() {
    return *CurrentSlot();
}

void InstallMachine(std::unique_ptr<Machine> machine) {
    CurrentSlot() = std::move(machine);
}

} // namespace sim
