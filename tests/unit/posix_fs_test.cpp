// The POSIX layer's file operations, as the installer's routines see them.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "e2e/fixture.h"
#include "platform/platform.h"

using namespace fixture;

namespace {

std::string read(const fs::path &p)
{
    std::ifstream in(p, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class PosixFs : public testing::Test {
protected:
    void SetUp() override
    {
        root = temp.path();
        build(root, {file("a.h", "A"), file("b.h", "B"), readonly("ro.h", "R"), dir("INCLUDE")});
    }
    std::string at(const char *rel) { return (root / rel).string(); }

    TempDir temp;
    fs::path root;
};

TEST_F(PosixFs, DeletionAfterCopyLooksImmediate)
{
    ASSERT_TRUE(CopyFileA(at("a.h").c_str(), at("INCLUDE\\a.h").c_str(), FALSE));
    ASSERT_TRUE(DeleteFileA(at("a.h").c_str()));
    WIN32_FIND_DATAA found;
    EXPECT_EQ(FindFirstFileA(at("a.h").c_str(), &found), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(fs::exists(root / "a.h"));
    EXPECT_EQ(read(root / "INCLUDE/a.h"), "A");
}

TEST_F(PosixFs, CopyOntoANameAboutToBeDeletedKeepsTheCopy)
{
    // A copy into INCLUDE, a deletion there, then a copy onto the deleted name.
    ASSERT_TRUE(CopyFileA(at("a.h").c_str(), at("INCLUDE\\a.h").c_str(), FALSE));
    ASSERT_TRUE(DeleteFileA(at("INCLUDE\\a.h").c_str()));
    ASSERT_TRUE(CopyFileA(at("b.h").c_str(), at("INCLUDE\\a.h").c_str(), FALSE));
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(at("*.h").c_str(), &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    FindClose(search);
    EXPECT_EQ(read(root / "INCLUDE/a.h"), "B");
}

TEST_F(PosixFs, ReadOnlyFilesRefuseDeletionAndReplacement)
{
    EXPECT_FALSE(DeleteFileA(at("ro.h").c_str()));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_FALSE(CopyFileA(at("a.h").c_str(), at("ro.h").c_str(), FALSE));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_EQ(read(root / "ro.h"), "R");
}

TEST_F(PosixFs, CopyOntoItselfFailsAndKeepsTheFile)
{
    EXPECT_FALSE(CopyFileA(at("a.h").c_str(), at("INCLUDE\\..\\a.h").c_str(), FALSE));
    EXPECT_EQ(read(root / "a.h"), "A");
}

TEST_F(PosixFs, CopyCarriesModeAndModificationTime)
{
    fs::permissions(root / "a.h", fs::perms(0640));
    auto when = fs::last_write_time(root / "a.h") - std::chrono::hours(48);
    fs::last_write_time(root / "a.h", when);
    ASSERT_TRUE(CopyFileA(at("a.h").c_str(), at("INCLUDE/a.h").c_str(), FALSE));
    EXPECT_EQ(fs::status(root / "INCLUDE/a.h").permissions(), fs::perms(0640));
    EXPECT_EQ(fs::last_write_time(root / "INCLUDE/a.h"), when);
}

TEST_F(PosixFs, SpecialFilesAreRefusedWithoutBlocking)
{
    ASSERT_EQ(mkfifo(at("pipe.h").c_str(), 0644), 0);
    EXPECT_FALSE(CopyFileA(at("pipe.h").c_str(), at("INCLUDE/pipe.h").c_str(), FALSE));
    EXPECT_FALSE(CopyFileA(at("INCLUDE").c_str(), at("x.h").c_str(), FALSE));
    EXPECT_FALSE(fs::exists(root / "INCLUDE/pipe.h"));
}

TEST_F(PosixFs, MoveNeverReplaces)
{
    EXPECT_FALSE(MoveFileA(at("a.h").c_str(), at("b.h").c_str()));
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    EXPECT_EQ(read(root / "a.h"), "A");
    EXPECT_EQ(read(root / "b.h"), "B");
    EXPECT_TRUE(MoveFileA(at("a.h").c_str(), at("INCLUDE\\a.h").c_str()));
    EXPECT_EQ(read(root / "INCLUDE/a.h"), "A");
}

TEST_F(PosixFs, CurrentDirectoryLengthContract)
{
    fs::path back = fs::current_path();
    fs::current_path(root);
    std::string cwd = fs::current_path().string();
    char small[4];
    EXPECT_EQ(GetCurrentDirectoryA(sizeof small, small), cwd.size() + 1);
    std::string buffer(cwd.size() + 1, '\0');
    EXPECT_EQ(GetCurrentDirectoryA(static_cast<DWORD>(buffer.size()), buffer.data()), cwd.size());
    EXPECT_STREQ(buffer.c_str(), cwd.c_str());
    fs::current_path(back);
}

TEST_F(PosixFs, SearchTakesEachMatchOnceWhileDeleting)
{
    for (int i = 0; i < 300; ++i)
        build(root, {file("n" + std::to_string(i) + ".lib", std::to_string(i))});
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(at("*.LIB").c_str(), &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    std::set<std::string> seen;
    do {
        EXPECT_TRUE(seen.insert(found.cFileName).second) << found.cFileName << " twice";
        ASSERT_TRUE(CopyFileA((root / found.cFileName).c_str(), (root / "INCLUDE" / found.cFileName).c_str(), FALSE));
        ASSERT_TRUE(DeleteFileA((root / found.cFileName).c_str()));
    } while (FindNextFileA(search, &found));
    EXPECT_EQ(GetLastError(), ERROR_NO_MORE_FILES);
    FindClose(search);
    EXPECT_EQ(seen.size(), 300u);
    for (int i = 0; i < 300; ++i)
        EXPECT_FALSE(fs::exists(root / ("n" + std::to_string(i) + ".lib")));
}

}  // namespace
