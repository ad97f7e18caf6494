// Fixture for tests on the simulated machine: a fresh machine per test, with drive C: on a
// scratch host folder, the temporary folder C:\users\tester\Temp, a fixed clock, and no viewer
// launched.
#pragma once

#include "sim/Machine.h"

#include <gtest/gtest.h>
#include <string>

class SimMachineTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    sim::Machine& Machine() { return sim::CurrentMachine(); }
    // The objects open in the simulated machine's handle table: files, searches, processes,
    // mutexes.
    static size_t OpenHandles();

    // The host path of a Windows path on drive C: ("C:\users\x" is <root>/drive_c/users/x).
    std::string HostPath(const std::string& windowsPath) const;
    // Host files, written and read without the seam.
    void WriteHostFile(const std::string& windowsPath, const std::string& content) const;
    std::string ReadHostFile(const std::string& windowsPath) const;
    bool HostFileExists(const std::string& windowsPath) const;
    void MakeHostFolder(const std::string& windowsPath) const;
    void MakeReadOnly(const std::string& windowsPath) const;

    // The temporary folder as the helpers return it.
    static const char kTempFolder[];

    std::string m_Root;
};
