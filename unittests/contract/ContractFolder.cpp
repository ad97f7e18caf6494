#include "contract/ContractFolder.h"
#include "winapi/winapi_testing.h"

#include <gtest/gtest.h>

namespace {

void RemoveTree(const std::string& folder) {
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &data);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = data.cFileName;
            if (name == "." || name == "..") {
                continue;
            }
            std::string path = folder + "\\" + name;
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path);
            } else {
                DeleteFileA(path.c_str());
            }
        } while (FindNextFileA(search, &data));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
}

// The bytes of a file ("" when it cannot be opened).
std::string ReadWholeFile(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return "";
    }
    std::string content;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) {
        content.append(buffer, got);
    }
    CloseHandle(file);
    return content;
}

} // namespace

std::wstring WidePath(const std::string& path) {
    std::wstring wide(path.size() + 1, L'\0');
    wide.resize(static_cast<size_t>(
        MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, &wide[0], static_cast<int>(wide.size()))));
    return wide.empty() ? wide : wide.substr(0, wide.size() - 1);
}

std::string AnsiPath(const std::wstring& path) {
    std::string ansi(2 * path.size() + 1, '\0');
    ansi.resize(static_cast<size_t>(WideCharToMultiByte(
        CP_ACP, 0, path.c_str(), -1, &ansi[0], static_cast<int>(ansi.size()), nullptr, nullptr)));
    return ansi.empty() ? ansi : ansi.substr(0, ansi.size() - 1);
}

ContractFolder::ContractFolder() {
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH, temp);
    static unsigned counter = 0;
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string("contract-") + (test != nullptr ? test->name() : "test") + "-" +
                       std::to_string(++counter);
    m_Path = AnsiPath(temp) + name;
    RemoveTree(m_Path);
    EXPECT_TRUE(CreateDirectoryA(m_Path.c_str(), nullptr)) << "cannot create " << m_Path;
}

ContractFolder::~ContractFolder() {
    RemoveTree(m_Path);
}

void ContractFolder::CreateFileWith(const std::string& name, const std::string& content) const {
    std::string path = *this / name;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << "cannot create " << path;
    DWORD written = 0;
    EXPECT_TRUE(
        WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr));
    CloseHandle(file);
}

std::string ContractFolder::ReadAll(const std::string& name) const {
    return ReadWholeFile(*this / name);
}

bool RunsUnderWine() {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

bool RunsAsHostSuperuser() {
    return ReadWholeFile("Z:\\proc\\self\\status").find("\nUid:\t0\t") != std::string::npos;
}
