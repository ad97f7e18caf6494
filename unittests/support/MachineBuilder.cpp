#include "support/MachineBuilder.h"

#include "platform/unicode.h"
#include "support/PeBuilder.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sys/xattr.h>

std::string MachineBuilder::HostPath(const std::string& p_Path) const {
    std::string rest = p_Path.substr(2);
    std::replace(rest.begin(), rest.end(), '\\', '/');
    return m_DriveRoot + rest;
}

const MachineBuilder& MachineBuilder::Folder(const std::string& p_Path) const {
    std::filesystem::create_directories(HostPath(p_Path));
    return *this;
}

const MachineBuilder& MachineBuilder::File(const std::string& p_Path, const std::string& p_Content,
                                           DWORD p_Attributes) const {
    std::filesystem::create_directories(std::filesystem::path(HostPath(p_Path)).parent_path());
    std::ofstream(HostPath(p_Path), std::ios::binary) << p_Content;
    if (p_Attributes != 0) {
        // Where Wine keeps the attributes that a Linux file system has no place for.
        char text[16];
        int size = std::snprintf(text, sizeof text, "0x%x", static_cast<unsigned>(p_Attributes));
        setxattr(HostPath(p_Path).c_str(), "user.DOSATTRIB", text, static_cast<size_t>(size), 0);
    }
    return *this;
}

const MachineBuilder& MachineBuilder::Executable(const std::string& p_Path, uint16_t p_Type,
                                                 const std::string& p_Version) const {
    unsigned part[4] = {};
    std::sscanf(p_Version.c_str(), "%u.%u.%u.%u", &part[0], &part[1], &part[2], &part[3]);
    PeLayout layout;
    layout.machine = p_Type;
    layout.fileVersionMS = (part[0] << 16) | part[1];
    layout.fileVersionLS = (part[2] << 16) | part[3];
    return File(p_Path, BuildPe(layout));
}

const MachineBuilder& MachineBuilder::Association(const std::wstring& p_Extension,
                                                  const std::wstring& p_ProgId,
                                                  const std::wstring& p_Command) const {
    m_Machine.registry.SetString(L"HKCR\\" + p_Extension, L"", p_ProgId);
    m_Machine.registry.SetString(L"HKCR\\" + p_ProgId + L"\\shell\\open\\command", L"", p_Command);
    return *this;
}

const MachineBuilder& MachineBuilder::Excel(const std::string& p_Folder, uint16_t p_Type,
                                            const std::string& p_Version) const {
    Executable(p_Folder + "\\EXCEL.EXE", p_Type, p_Version);
    const Text program = Utilities::FromUtf8(p_Folder + "\\EXCEL.EXE");
    return Association(L".xls", L"Excel.Sheet.8", L"\"" + program + L"\" \"%1\"");
}

const MachineBuilder& MachineBuilder::Suite(const std::string& p_MainFolder,
                                            const std::string& p_SystemFolder) const {
    for (const auto& [name, folder] : {std::pair(L"Main Directory", &p_MainFolder),
                                       std::pair(L"System Directory", &p_SystemFolder)}) {
        if (!folder->empty()) {
            Folder(*folder);
            m_Machine.registry.SetString(SoftwareKey(L"Zandorel"), name,
                                         Utilities::FromUtf8(*folder));
        }
    }
    return *this;
}

sim::Machine::ComClass& MachineBuilder::ComClass(const std::wstring& p_ProgId,
                                                 const std::wstring& p_ClassId) const {
    m_Machine.registry.SetString(L"HKCR\\" + p_ProgId + L"\\CLSID", L"", p_ClassId);
    return m_Machine.comClasses[p_ClassId];
}

std::wstring MachineBuilder::SoftwareKey(const std::wstring& p_Rest) const {
    return m_Machine.is64Bit ? L"HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\" + p_Rest
                             : L"HKEY_LOCAL_MACHINE\\Software\\" + p_Rest;
}
