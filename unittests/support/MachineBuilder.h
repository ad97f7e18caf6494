// Facts of a simulated machine stated in one call each, for the tests of sections and whole
// runs: files (their folders made first), executables with a file version, associations, Excel,
// the suite and COM classes. Paths are Windows paths on drive C:, kept in a host folder.
#pragma once

#include "sim/Machine.h"

#include <cstdint>
#include <string>

class MachineBuilder {
public:
    // The machine, with its drive C: in <p_Root>/drive_c.
    MachineBuilder(sim::Machine& p_Machine, const std::string& p_Root)
        : m_Machine(p_Machine), m_DriveRoot(p_Root + "/drive_c") {}

    // The host path of a Windows path on drive C: ("C:\users\x" is <root>/drive_c/users/x).
    std::string HostPath(const std::string& p_Path) const;
    // A folder and the folders above it.
    const MachineBuilder& Folder(const std::string& p_Path) const;
    // A file with its content and DOS attributes (FILE_ATTRIBUTE_HIDDEN, _SYSTEM, ...); its
    // folders are made first.
    const MachineBuilder& File(const std::string& p_Path, const std::string& p_Content = "MZ",
                               DWORD p_Attributes = 0) const;
    // An executable of a machine type (0x14c i386, 0x8664 x86-64) with the file version "a.b.c.d".
    const MachineBuilder& Executable(const std::string& p_Path, uint16_t p_Type,
                                     const std::string& p_Version = "16.0.4266.1001") const;
    // HKEY_CLASSES_ROOT: the extension to the ProgID, and the ProgID's "open" command.
    const MachineBuilder& Association(const std::wstring& p_Extension, const std::wstring& p_ProgId,
                                      const std::wstring& p_Command) const;
    // EXCEL.EXE in a folder, and .xls associated with it: "<folder>\EXCEL.EXE" "%1".
    const MachineBuilder& Excel(const std::string& p_Folder, uint16_t p_Type,
                                const std::string& p_Version = "16.0.4266.1001") const;
    // The suite's main and system folders, made and registered in the program's view of
    // HKEY_LOCAL_MACHINE\Software\Zandorel, the main folder first; "" is neither.
    const MachineBuilder& Suite(const std::string& p_MainFolder,
                                const std::string& p_SystemFolder) const;
    // A ProgID registered for a class, and the class in the machine's component table.
    sim::Machine::ComClass& ComClass(const std::wstring& p_ProgId,
                                     const std::wstring& p_ClassId) const;
    // The HKEY_LOCAL_MACHINE\Software path that the program's own view reads on the machine.
    std::wstring SoftwareKey(const std::wstring& p_Rest) const;

private:
    sim::Machine& m_Machine;
    std::string m_DriveRoot;
};
