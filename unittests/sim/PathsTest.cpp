#include "sim/Paths.h"
#include "support/SimMachineTest.h"

#include <filesystem>

using namespace sim;

TEST(SimShortNames, LegalNamesStayAndOthersAreHashed) {
    EXPECT_EQ(ShortNameOf(L"README.TXT"), L"README.TXT");
    EXPECT_EQ(ShortNameOf(L"readme.txt"), L"readme.txt");
    std::wstring hashed = ShortNameOf(L"Program Files");
    EXPECT_EQ(hashed.size(), 8u);
    EXPECT_EQ(hashed.substr(0, 5), L"PROG~");
    EXPECT_EQ(ShortNameOf(L"Long file name.text").substr(8), L".TEX");
    EXPECT_EQ(ShortNameOf(L"a b"), ShortNameOf(L"A B"));
    EXPECT_NE(ShortNameOf(L"Program Files"), ShortNameOf(L"Program Data"));
    EXPECT_EQ(ShortNameOf(L"ab.c d").substr(0, 5), L"AB~~~");
}

TEST(SimWildcards, StarAndQuestionMarkWithoutRegardToCase) {
    EXPECT_TRUE(MatchesWildcard(L"Book1.XLS", L"*.xls"));
    EXPECT_TRUE(MatchesWildcard(L"noext", L"*.*"));
    EXPECT_TRUE(MatchesWildcard(L"abc", L"a?c"));
    EXPECT_FALSE(MatchesWildcard(L"abcd", L"a?c"));
    EXPECT_TRUE(MatchesWildcard(L"a.b.c", L"*.c"));
    EXPECT_TRUE(MatchesWildcard(L"x", L"**"));
    EXPECT_FALSE(MatchesWildcard(L"Book1.xlsx", L"*.xls"));
}

class SimPathsTest : public SimMachineTest {};

TEST_F(SimPathsTest, ResolvesWithoutRegardToCase) {
    MakeHostFolder("C:\\Program Files\\Zandorel");
    WriteHostFile("C:\\Program Files\\Zandorel\\Setup.EXE", "x");
    ResolvedPath path = ResolveWindowsPath(L"c:/PROGRAM FILES\\zandorel\\setup.exe");
    ASSERT_EQ(path.error, static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_TRUE(path.exists);
    EXPECT_EQ(path.host, HostPath("C:\\Program Files\\Zandorel\\Setup.EXE"));
    EXPECT_EQ(path.longForm, L"c:\\PROGRAM FILES\\zandorel\\setup.exe");

    // Short names are replaced by the names on disk; long names keep their spelling.
    ResolvedPath viaShort = ResolveWindowsPath(path.shortForm);
    EXPECT_TRUE(viaShort.exists);
    EXPECT_EQ(viaShort.host, path.host);
    EXPECT_EQ(viaShort.longForm, L"c:\\Program Files\\Zandorel\\Setup.EXE");
}

TEST_F(SimPathsTest, MissingPartsAndDotsAndTrailingBlanks) {
    MakeHostFolder("C:\\a\\b");
    ResolvedPath missingLast = ResolveWindowsPath(L"C:\\a\\new.txt");
    EXPECT_EQ(missingLast.error, static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_FALSE(missingLast.exists);
    EXPECT_EQ(missingLast.host, HostPath("C:\\a\\new.txt"));

    EXPECT_EQ(ResolveWindowsPath(L"C:\\x\\new.txt").error,
              static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(ResolveWindowsPath(L"Q:\\x").error, static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(ResolveWindowsPath(L"relative\\x").error, static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(ResolveWindowsPath(L"C:\\a\\b<c").error, static_cast<DWORD>(ERROR_INVALID_NAME));

    ResolvedPath dots = ResolveWindowsPath(L"C:\\a\\.\\b\\..\\..\\..\\a\\b. . ");
    EXPECT_TRUE(dots.exists);
    EXPECT_EQ(dots.longForm, L"C:\\a\\b");
    EXPECT_EQ(ResolveWindowsPath(L"C:\\a. \\b.").longForm, L"C:\\a\\b");
}

// Resolving a path again follows what has become of its folders on the host, and keeps the
// spelling the path is written with.
TEST_F(SimPathsTest, ResolvingFollowsChangedFolders) {
    WriteHostFile("C:\\Logs\\x\\f.txt", "log");
    EXPECT_TRUE(ResolveWindowsPath(L"C:\\Logs\\x\\f.txt").host == HostPath("C:\\Logs\\x\\f.txt"));
    EXPECT_EQ(ResolveWindowsPath(L"C:\\LOGS\\X\\f.txt").longForm, L"C:\\LOGS\\X\\f.txt");

    std::filesystem::rename(HostPath("C:\\Logs\\x"), HostPath("C:\\Logs\\y"));
    EXPECT_EQ(ResolveWindowsPath(L"C:\\Logs\\x\\f.txt").error,
              static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    WriteHostFile("C:\\Logs\\x", "a file where the folder was");
    EXPECT_EQ(ResolveWindowsPath(L"C:\\Logs\\x\\f.txt").error,
              static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_TRUE(ResolveWindowsPath(L"C:\\Logs\\Y\\f.txt").host == HostPath("C:\\Logs\\y\\f.txt"));
}
