#include "support/SimMachineTest.h"

#include "sim/Handles.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

namespace fs = std::filesystem;

const char SimMachineTest::kTempFolder[] = "C:\\users\\tester\\Temp";

void SimMachineTest::SetUp() {
    std::string pattern = (fs::temp_directory_path() / "zanprobe-unit.XXXXXX").string();
    char* made = mkdtemp(&pattern[0]);
    ASSERT_NE(made, nullptr);
    m_Root = made;
    fs::create_directories(m_Root + "/drive_c/users/tester/Temp");

    auto machine = std::make_unique<sim::Machine>();
    machine->MapDrive('C', m_Root + "/drive_c");
    machine->tempPath = L"C:\\users\\tester\\Temp\\";
    machine->launchViewer = false;
    // Tuesday, 8 December 2026, 15:04:05.
    machine->fixedLocalTime = SYSTEMTIME{2026, 12, 2, 8, 15, 4, 5, 0};
    sim::InstallMachine(std::move(machine));
}

size_t SimMachineTest::OpenHandles() {
    size_t count = 0;
    sim::ForEachHandle([&](sim::KernelObject&) { ++count; });
    return count;
}

void SimMachineTest::TearDown() {
    sim::InstallMachine(sim::Machine::Empty());
    if (!m_Root.empty()) {
        // Read-only files and folders must be writable again before they can go.
        for (auto& entry : fs::recursive_directory_iterator(m_Root)) {
            chmod(entry.path().c_str(), entry.is_directory() ? 0755 : 0644);
        }
        fs::remove_all(m_Root);
    }
}

std::string SimMachineTest::ReadHostFile(const std::string& windowsPath) const {
    std::ifstream file(HostPath(windowsPath), std::ios::binary);
    std::stringstream content;
    content << file.rdbuf();
    return content.str();
}

bool SimMachineTest::HostFileExists(const std::string& windowsPath) const {
    return fs::exists(HostPath(windowsPath));
}

void SimMachineTest::MakeReadOnly(const std::string& windowsPath) const {
    chmod(HostPath(windowsPath).c_str(), 0444);
}
