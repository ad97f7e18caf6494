// A scratch folder in the temporary folder for one contract test, made and removed through the
// seam alone, so that the same test runs against the simulated machine and against Windows.
#pragma once

#include "winapi/winapi.h"

#include <string>

class ContractFolder {
public:
    ContractFolder();
    ~ContractFolder();
    ContractFolder(const ContractFolder&) = delete;
    ContractFolder& operator=(const ContractFolder&) = delete;

    // The folder's path, without a trailing backslash.
    const std::string& Path() const { return m_Path; }
    // The path of an entry in the folder.
    std::string operator/(const std::string& name) const { return m_Path + "\\" + name; }

    // Creates a file with the given content; fails the test when that is not possible.
    void CreateFileWith(const std::string& name, const std::string& content) const;
    // The whole content of a file ("" when it cannot be read).
    std::string ReadAll(const std::string& name) const;

private:
    std::string m_Path;
};

// A path in the wide form the W functions take and give, and back in the machine's code page.
std::wstring WidePath(const std::string& path);
std::string AnsiPath(const std::wstring& path);

// Whether the test runs under Wine (whose ntdll exports wine_get_version).
bool RunsUnderWine();
// Under Wine, whether the host user is the superuser, from the host's /proc seen through Z:.
bool RunsAsHostSuperuser();
