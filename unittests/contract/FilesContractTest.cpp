// Contract of the seam for folders, paths, the directory search and files: each test states a
// behaviour of Windows that the program relies on and passes against the simulated machine
// and against Windows (under Wine) alike.
#include "contract/ContractFolder.h"
#include "winapi/winapi_testing.h"

#include <cstring>
#include <cwchar>
#include <gtest/gtest.h>
#include <set>

namespace {

std::string LongPathOf(const std::string& path) {
    wchar_t buffer[MAX_PATH + 1] = {};
    DWORD length = GetLongPathNameW(WidePath(path).c_str(), buffer, MAX_PATH);
    return length > 0 && length < MAX_PATH ? AnsiPath(buffer) : std::string();
}

std::set<std::string> SearchAll(const std::string& pattern) {
    std::set<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA(pattern.c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        names.insert(data.cFileName);
    } while (FindNextFileA(search, &data));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_MORE_FILES));
    FindClose(search);
    return names;
}

} // namespace

TEST(TempPathContract, EndsWithBackslashAndReportsLengths) {
    wchar_t buffer[MAX_PATH + 1] = {};
    DWORD length = GetTempPathW(MAX_PATH, buffer);
    ASSERT_GT(length, 0u);
    EXPECT_EQ(length, std::wcslen(buffer));
    EXPECT_EQ(buffer[length - 1], L'\\');
    EXPECT_EQ(buffer[1], L':');

    // A buffer that is too small gets the size needed, NUL included. What it holds then is not
    // documented (Wine empties it, the simulated machine leaves it), so it is not looked at.
    wchar_t tiny[2] = {L'x', L'y'};
    EXPECT_EQ(GetTempPathW(2, tiny), length + 1);
}

TEST(LongPathContract, LongFormOfAShortPath) {
    ContractFolder folder;
    std::string longFolder = folder / "A folder with a long name";
    ASSERT_TRUE(CreateDirectoryA(longFolder.c_str(), nullptr));
    folder.CreateFileWith("A folder with a long name\\Long file name.text", "x");

    wchar_t wideShortForm[MAX_PATH + 1] = {};
    std::string longFile = longFolder + "\\Long file name.text";
    ASSERT_GT(GetShortPathNameW(WidePath(longFile).c_str(), wideShortForm, MAX_PATH), 0u);
    std::string shortForm = AnsiPath(wideShortForm);
    EXPECT_EQ(shortForm.find(' '), std::string::npos) << shortForm;

    EXPECT_EQ(LongPathOf(shortForm), LongPathOf(longFile));
    EXPECT_NE(LongPathOf(shortForm).find("\\A folder with a long name\\Long file name.text"),
              std::string::npos)
        << LongPathOf(shortForm);
    // A trailing backslash stays.
    EXPECT_EQ(LongPathOf(longFolder + "\\").back(), '\\');
}

TEST(LongPathContract, MissingPathWritesNothing) {
    ContractFolder folder;
    wchar_t buffer[16] = {L'#'};
    SetLastError(0);
    EXPECT_EQ(GetLongPathNameW(WidePath(folder / "missing").c_str(), buffer, 16), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(buffer[0], L'#');
}

TEST(LongPathContract, LongNamesKeepTheirSpelling) {
    ContractFolder folder;
    folder.CreateFileWith("MixedCase.Txt", "x");
    std::string longForm = LongPathOf(folder / "mixedcase.TXT");
    ASSERT_FALSE(longForm.empty());
    EXPECT_EQ(longForm.substr(longForm.size() - 13), "mixedcase.TXT");
}

TEST(DirectorySearchContract, HiddenAndSystemFilesCarryTheirAttributes) {
    ContractFolder folder;
    folder.CreateFileWith("hidden.txt", "h");
    folder.CreateFileWith("system.txt", "s");
    folder.CreateFileWith("plain.txt", "p");
    ASSERT_TRUE(SetFileAttributesA((folder / "hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(SetFileAttributesA((folder / "system.txt").c_str(), FILE_ATTRIBUTE_SYSTEM));

    EXPECT_TRUE(GetFileAttributesA((folder / "hidden.txt").c_str()) & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_TRUE(GetFileAttributesA((folder / "system.txt").c_str()) & FILE_ATTRIBUTE_SYSTEM);
    EXPECT_FALSE(GetFileAttributesA((folder / "plain.txt").c_str()) &
                 (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY));

    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA((folder / "hidden.txt").c_str(), &data);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    EXPECT_STREQ(data.cFileName, "hidden.txt");
    EXPECT_TRUE(data.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN);
    FindClose(search);

    // Clearing the attributes makes the file plain again.
    ASSERT_TRUE(SetFileAttributesA((folder / "hidden.txt").c_str(), FILE_ATTRIBUTE_NORMAL));
    EXPECT_FALSE(GetFileAttributesA((folder / "hidden.txt").c_str()) & FILE_ATTRIBUTE_HIDDEN);
}

TEST(DirectorySearchContract, WildcardYieldsEveryMatchStartingWithTheFirst) {
    ContractFolder folder;
    folder.CreateFileWith("Book1.xls", "1");
    folder.CreateFileWith("book2.XLS", "2");
    folder.CreateFileWith("notes.txt", "3");

    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA((folder / "*.xls").c_str(), &data);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    std::string first = data.cFileName;
    FindClose(search);
    EXPECT_TRUE(first == "Book1.xls" || first == "book2.XLS") << first;

    EXPECT_EQ(SearchAll(folder / "*.xls"), (std::set<std::string>{"Book1.xls", "book2.XLS"}));
    EXPECT_EQ(SearchAll(folder / "B?ok1.*"), (std::set<std::string>{"Book1.xls"}));
    EXPECT_EQ(SearchAll(folder / "*"),
              (std::set<std::string>{".", "..", "Book1.xls", "book2.XLS", "notes.txt"}));
}

TEST(DirectorySearchContract, NoMatchAndMissingFolder) {
    ContractFolder folder;
    WIN32_FIND_DATAA data;
    EXPECT_EQ(FindFirstFileA((folder / "*.xls").c_str(), &data), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(FindFirstFileA((folder / "missing\\*.xls").c_str(), &data), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
}

TEST(DirectorySearchContract, AFolderIsFoundAsADirectory) {
    ContractFolder folder;
    ASSERT_TRUE(CreateDirectoryA((folder / "sub").c_str(), nullptr));
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA((folder / "SUB").c_str(), &data);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    EXPECT_STREQ(data.cFileName, "sub");
    EXPECT_TRUE(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    FindClose(search);
}

TEST(FileContract, AppendingToAMissingFileCreatesIt) {
    ContractFolder folder;
    std::string path = folder / "log.txt";
    for (const char* part : {"abc\r\n", "def\r\n"}) {
        HANDLE file =
            CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                        OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        EXPECT_TRUE(
            WriteFile(file, part, static_cast<DWORD>(std::strlen(part)), &written, nullptr));
        EXPECT_EQ(written, std::strlen(part));
        EXPECT_TRUE(CloseHandle(file));
    }
    EXPECT_EQ(folder.ReadAll("log.txt"), "abc\r\ndef\r\n");
}

TEST(FileContract, OpeningAMissingFileOrFolderFails) {
    ContractFolder folder;
    HANDLE file = CreateFileA((folder / "missing.txt").c_str(), GENERIC_READ, 0, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_EQ(file, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));

    file = CreateFileA((folder / "missing\\new.txt").c_str(), FILE_APPEND_DATA, 0, nullptr,
                       OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_EQ(file, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
}

TEST(FileContract, DeletingAReadOnlyFileFails) {
    ContractFolder folder;
    folder.CreateFileWith("locked.txt", "x");
    std::string path = folder / "locked.txt";
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_TRUE(GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_READONLY);

    EXPECT_FALSE(DeleteFileA(path.c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    // Nor can it be opened for appending. Wine asks the host whether the file can be written, and
    // a host superuser can write any file, so Wine run by root opens it.
    HANDLE file = CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_DELETE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD openError = GetLastError();
    if (!(RunsUnderWine() && RunsAsHostSuperuser())) {
        EXPECT_EQ(file, INVALID_HANDLE_VALUE);
        EXPECT_EQ(openError, static_cast<DWORD>(ERROR_ACCESS_DENIED));
    }
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
    }

    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL));
    EXPECT_TRUE(DeleteFileA(path.c_str()));
    EXPECT_EQ(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(FileContract, DeletingAFileHeldOpenWithoutDeleteSharingFails) {
    ContractFolder folder;
    folder.CreateFileWith("held.txt", "x");
    std::string path = folder / "held.txt";
    HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(DeleteFileA(path.c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    CloseHandle(held);
    EXPECT_TRUE(DeleteFileA(path.c_str()));
}

TEST(FileContract, DeletingAMissingFileOrAFolderFails) {
    ContractFolder folder;
    EXPECT_FALSE(DeleteFileA((folder / "missing.txt").c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    ASSERT_TRUE(CreateDirectoryA((folder / "sub").c_str(), nullptr));
    EXPECT_FALSE(DeleteFileA((folder / "sub").c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
}
