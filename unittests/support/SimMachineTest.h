// Fixture for tests on the simulated machine: a fresh machine per test, with drive C: on a
// scratch host folder, the temporary folder C:\users\tester\Temp, a fixed clock, and no viewer
// launched; its facts are stated through Given().
#pragma once

#include "sim/Machine.h"
#include "support/MachineBuilder.h"

#include <gtest/gtest.h>
#include <string>

class SimMachineTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    sim::Machine& Machine() { return sim::CurrentMachine(); }
    MachineBuilder Given() const { return MachineBuilder(sim::CurrentMachine(), m_Root); }
    // The objects open in the simulated machine's handle table: files, searches, processes,
    // mutexes.
    static size_t OpenHandles();

    // The host path of a Windows path on drive C: ("C:\users\x" is <root>/drive_c/users/x).
    std::string HostPath(const std::string& path) const { return Given().HostPath(path); }
    // Host files, written (with their folders) and read without the seam.
    void WriteHostFile(const std::string& path, const std::string& bytes) const {
        Given().File(path, bytes);
    }
    std::string ReadHostFile(const std::string& windowsPath) const;
    bool HostFileExists(const std::string& windowsPath) const;
    void MakeHostFolder(const std::string& windowsPath) const { Given().Folder(windowsPath); }
    void MakeReadOnly(const std::string& windowsPath) const;

    // The temporary folder as the helpers return it.
    static const char kTempFolder[];

    std::string m_Root;
};
