// Contract of the seam for removing a left-over file and telling afterwards whether one is left.
#include "contract/ContractFolder.h"
#include "winapi/winapi_testing.h"

#include <gtest/gtest.h>

TEST(FileRemovalContract, HiddenAndSystemFilesCanBeDeleted) {
    ContractFolder folder;
    folder.CreateFileWith("left over.txt", "x");
    std::string path = folder / "left over.txt";
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    EXPECT_TRUE(DeleteFileA(path.c_str()));
    EXPECT_EQ(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(FileRemovalContract, AttributesOfAMissingFileTellWhyItIsMissing) {
    ContractFolder folder;
    EXPECT_EQ(GetFileAttributesA((folder / "missing.txt").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(GetFileAttributesA((folder / "missing\\file.txt").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
}
