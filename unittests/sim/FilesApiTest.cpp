// Behaviours of the simulated files that follow Wine rather than Windows, and the shell.
#include "support/SimMachineTest.h"
#include "winapi/winapi_testing.h"

#include <sys/stat.h>
#include <sys/xattr.h>

class SimFilesTest : public SimMachineTest {};

TEST_F(SimFilesTest, DotFilesAreHiddenAsUnderWine) {
    WriteHostFile("C:\\.hidden", "x");
    EXPECT_EQ(GetFileAttributesA("C:\\.hidden"),
              static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
}

TEST_F(SimFilesTest, DosAttributeIsReadAndWrittenOnTheHostFile) {
    WriteHostFile("C:\\a.txt", "x");
    ASSERT_EQ(setxattr(HostPath("C:\\a.txt").c_str(), "user.DOSATTRIB", "0x6", 3, 0), 0);
    EXPECT_EQ(
        GetFileAttributesA("C:\\a.txt"),
        static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE));

    ASSERT_TRUE(SetFileAttributesA("C:\\a.txt", FILE_ATTRIBUTE_HIDDEN));
    char value[16] = {};
    ASSERT_EQ(getxattr(HostPath("C:\\a.txt").c_str(), "user.DOSATTRIB", value, sizeof value), 3);
    EXPECT_STREQ(value, "0x2");

    ASSERT_TRUE(SetFileAttributesA("C:\\a.txt", FILE_ATTRIBUTE_NORMAL));
    EXPECT_LT(getxattr(HostPath("C:\\a.txt").c_str(), "user.DOSATTRIB", value, sizeof value), 0);

    // Text that is not a hexadecimal number counts for nothing.
    ASSERT_EQ(setxattr(HostPath("C:\\a.txt").c_str(), "user.DOSATTRIB", "junk", 4, 0), 0);
    EXPECT_EQ(GetFileAttributesA("C:\\a.txt"), static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE));
}

TEST_F(SimFilesTest, ReadOnlyIsTheOwnersMissingWritePermission) {
    WriteHostFile("C:\\r.txt", "x");
    ASSERT_TRUE(SetFileAttributesA("C:\\r.txt", FILE_ATTRIBUTE_READONLY));
    struct stat info;
    ASSERT_EQ(stat(HostPath("C:\\r.txt").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0222, 0u);
    ASSERT_TRUE(SetFileAttributesA("C:\\r.txt", 0));
    ASSERT_EQ(stat(HostPath("C:\\r.txt").c_str(), &info), 0);
    EXPECT_NE(info.st_mode & S_IWUSR, 0u);
}

TEST_F(SimFilesTest, NewFileWithHiddenAttribute) {
    HANDLE file = CreateFileA("C:\\new.txt", GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_HIDDEN, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    EXPECT_TRUE(GetFileAttributesA("C:\\new.txt") & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(CreateFileA("C:\\new.txt", GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_EXISTS));
}

TEST_F(SimFilesTest, HandlesAreCheckedAndClosedOnce) {
    EXPECT_FALSE(CloseHandle(reinterpret_cast<HANDLE>(0x7777)));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    WriteHostFile("C:\\once.txt", "x");
    HANDLE file = CreateFileA("C:\\once.txt", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_TRUE(CloseHandle(file));
    EXPECT_FALSE(CloseHandle(file));
    DWORD written = 0;
    EXPECT_FALSE(WriteFile(file, "x", 1, &written, nullptr));
}

TEST_F(SimFilesTest, WritingThroughAReadHandleFails) {
    WriteHostFile("C:\\ro.txt", "x");
    HANDLE file = CreateFileA("C:\\ro.txt", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    DWORD written = 0;
    EXPECT_FALSE(WriteFile(file, "y", 1, &written, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    CloseHandle(file);
    EXPECT_EQ(ReadHostFile("C:\\ro.txt"), "x");
}

TEST_F(SimFilesTest, ShellOpenRecordsTheDocumentAndReportsMissingFiles) {
    WriteHostFile("C:\\doc.txt", "x");
    EXPECT_GT(reinterpret_cast<intptr_t>(
                  ShellExecuteA(nullptr, "open", "C:\\DOC.TXT", nullptr, "", SW_SHOWNORMAL)),
              32);
    EXPECT_EQ(reinterpret_cast<intptr_t>(
                  ShellExecuteA(nullptr, "open", "C:\\none.txt", nullptr, "", SW_SHOWNORMAL)),
              2);
    ASSERT_EQ(Machine().openedDocuments.size(), 1u);
    EXPECT_EQ(Machine().openedDocuments[0], L"C:\\DOC.TXT");
}

TEST(SimEmptyMachine, MapsTheHostRootAndTemporaryFolder) {
    auto machine = sim::Machine::Empty();
    EXPECT_EQ(machine->DriveRoot(L'z').value_or(""), "/");
    EXPECT_FALSE(machine->DriveRoot(L'C').has_value());
    EXPECT_EQ(machine->tempPath.back(), L'\\');
    EXPECT_EQ(machine->tempPath.substr(0, 3), L"Z:\\");
}

TEST(SimEmptyMachine, TemporaryFolderFollowsTmpdir) {
    const char* old = getenv("TMPDIR");
    std::string saved = old != nullptr ? old : "";
    setenv("TMPDIR", "/var/tmp/x y/", 1);
    EXPECT_EQ(sim::Machine::Empty()->tempPath, L"Z:\\var\\tmp\\x y\\");
    unsetenv("TMPDIR");
    EXPECT_EQ(sim::Machine::Empty()->tempPath, L"Z:\\tmp\\");
    if (old != nullptr) {
        setenv("TMPDIR", saved.c_str(), 1);
    }
}
