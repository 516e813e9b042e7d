// The real program on package directories made for each case. One table,
// run against every build: BRELK_PROGRAM names the program, BRELK_LAUNCHER
// (optional) what starts it, BRELK_CAPTION the caption it is expected to
// show, BRELK_TARGET "win32" where the program is the Windows build.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <string>

#include "e2e/fixture.h"

using namespace fixture;

namespace {

const char ok[] = "BRELK successfully installed!";
const char one_left[] = "BRELK was not completely installed: 1 file could not be moved and was left in place.";
const char unreadable[] = "BRELK was not installed: the current directory could not be read.";

struct Case {
    const char *name;
    Tree before;
    Tree after;           // the whole tree afterwards
    const char *message;  // the closing box's text
    int status;
    int runs = 1;
    size_t root_length = 0;             // the package directory's path is at least this long
    const char *posix_only = nullptr;   // why the Windows build cannot agree
};

std::string env(const char *name, const char *fallback = "")
{
    const char *v = getenv(name);
    return v ? v : fallback;
}

// With the package directory at 245 characters, its INCLUDE path for this
// 250-character name is over 499 on both builds, while the directory itself
// stays within the 259 characters Windows allows a current directory.
const std::string a_long_name = std::string(248, 'n') + ".h";

Case cases[] = {
    {"MixedPackage",
     {file("x.h", "x"), file("y.h", "y"), file("mandelf.h", "m"), file("z.lib", "z"), file("readme.txt", "r")},
     {dir("INCLUDE"), file("INCLUDE/x.h", "x"), file("INCLUDE/y.h", "y"), dir("LIB"), file("LIB/z.lib", "z"),
      file("mandelf.h", "m"), file("readme.txt", "r")},
     ok, 0},
    {"EmptyDirectory", {}, {dir("INCLUDE"), dir("LIB")}, ok, 0},
    {"ExistingHeaderIsReplaced",
     {file("x.h", "new"), file("INCLUDE/x.h", "old"), file("INCLUDE/keep.h", "k"), dir("LIB")},
     {dir("INCLUDE"), file("INCLUDE/keep.h", "k"), file("INCLUDE/x.h", "new"), dir("LIB")},
     ok, 0},
    {"TopLevelMandelfWins",
     {file("mandelf.h", "top"), file("INCLUDE/mandelf.h", "stale")},
     {dir("INCLUDE"), dir("LIB"), file("mandelf.h", "top")},
     ok, 0},
    {"SecondRunKeepsLayout",
     {file("x.h", "x"), file("mandelf.h", "m"), file("z.lib", "z"), file("readme.txt", "r")},
     {dir("INCLUDE"), file("INCLUDE/x.h", "x"), dir("LIB"), file("LIB/z.lib", "z"), file("mandelf.h", "m"),
      file("readme.txt", "r")},
     ok, 0, 2},
    {"DirectoryNamedLikeHeaderStays",
     {dir("old.h"), file("old.h/inner.h", "i"), file("a.h", "a")},
     {dir("INCLUDE"), file("INCLUDE/a.h", "a"), dir("LIB"), dir("old.h"), file("old.h/inner.h", "i")},
     ok, 0},
    {"ReadOnlyHeaderIsCopiedAndStays",
     {readonly("ro.h", "r"), file("z.lib", "z")},
     {dir("INCLUDE"), readonly("INCLUDE/ro.h", "r"), dir("LIB"), file("LIB/z.lib", "z"), readonly("ro.h", "r")},
     ok, 0},
    {"ReadOnlyHeaderSecondRun",
     {readonly("ro.h", "r"), file("x.h", "x")},
     {dir("INCLUDE"), readonly("INCLUDE/ro.h", "r"), file("INCLUDE/x.h", "x"), dir("LIB"), readonly("ro.h", "r")},
     ok, 0, 2},
    {"UpperCaseNames",
     {file("X.H", "x"), file("Z.LIB", "z"), file("MANDELF.H", "m")},
     {dir("INCLUDE"), file("INCLUDE/X.H", "x"), dir("LIB"), file("LIB/Z.LIB", "z"), file("MANDELF.H", "m")},
     ok, 0},
    {"OnlyLongNamesMatch",
     {file("foo.library", "f"), file("notes.hpp", "n"), file("a.lib", "a")},
     {dir("INCLUDE"), dir("LIB"), file("LIB/a.lib", "a"), file("foo.library", "f"), file("notes.hpp", "n")},
     ok, 0},
    {"FailedCopyKeepsSource",
     {file("x.h", "x"), file("y.h", "y"), dir("INCLUDE/x.h")},
     {dir("INCLUDE"), dir("INCLUDE/x.h"), file("INCLUDE/y.h", "y"), dir("LIB"), file("x.h", "x")},
     one_left, 1},
    {"TwoCopiesFail",
     {file("x.h", "x"), dir("INCLUDE/x.h"), file("z.lib", "z"), dir("LIB/z.lib"), file("mandelf.h", "m")},
     {dir("INCLUDE"), dir("INCLUDE/x.h"), dir("LIB"), dir("LIB/z.lib"), file("mandelf.h", "m"), file("x.h", "x"),
      file("z.lib", "z")},
     "BRELK was not completely installed: 2 files could not be moved and were left in place.", 1},
    {"TargetPathTooLong",
     {file(a_long_name, "long"), file("y.h", "y")},
     {dir("INCLUDE"), file("INCLUDE/y.h", "y"), dir("LIB"), file(a_long_name, "long")},
     one_left, 1, 1, 245},
    {"CurrentDirectoryTooLong",
     {file("x.h", "x"), file("z.lib", "z")},
     {file("x.h", "x"), file("z.lib", "z")},
     unreadable, 1, 1, 520,
     "Windows caps the current directory at 259 characters; Wine starts a program in a longer one "
     "in C:\\windows instead"},
    {"OddButValidNames",
     {file("my header.h", "s"), file(".hidden.h", "d"), file(" lead.lib", "l"), file("a,b;c=d+e.h", "p"),
      file("\xc3\xa9t\xc3\xa9.h", "e")},
     {dir("INCLUDE"), file("INCLUDE/my header.h", "s"), file("INCLUDE/.hidden.h", "d"), dir("LIB"),
      file("LIB/ lead.lib", "l"), file("INCLUDE/a,b;c=d+e.h", "p"), file("INCLUDE/\xc3\xa9t\xc3\xa9.h", "e")},
     ok, 0},
    {"HostileNames",
     {file("trail.h ", "t"), file("a\\b.h", "b"), file(std::string(253, 'v') + ".h", "v")},
     {dir("INCLUDE"), dir("LIB"), file("INCLUDE/" + std::string(253, 'v') + ".h", "v"), file("trail.h ", "t"),
      file("a\\b.h", "b")},
     one_left, 1, 1, 0,
     "Windows names hold no backslash, lose a trailing space, and its paths stop at 259 characters"},
    {"FifoNamedLikeHeader",
     {fifo("evil.h"), file("x.h", "x")},
     {dir("INCLUDE"), file("INCLUDE/x.h", "x"), dir("LIB"), fifo("evil.h")},
     one_left, 1, 1, 0,
     "Windows has no FIFOs; the emulator opens one like a file and blocks reading it"},
};

void PrintTo(const Case &c, std::ostream *os)
{
    *os << c.name;
}

class Install : public testing::TestWithParam<Case> {};

TEST_P(Install, LeavesExpectedTree)
{
    const Case &c = GetParam();
    bool win32 = env("BRELK_TARGET") == "win32";
    if (win32 && c.posix_only)
        GTEST_SKIP() << c.posix_only;

    TempDir temp;
    fs::path package = c.root_length ? deep_dir(temp.path(), c.root_length) : temp.path() / "package";
    fs::create_directories(package);
    build(package, c.before);

    std::vector<std::string> argv;
    if (!env("BRELK_LAUNCHER").empty())
        argv.push_back(fs::absolute(env("BRELK_LAUNCHER")));
    ASSERT_FALSE(env("BRELK_PROGRAM").empty()) << "BRELK_PROGRAM is not set";
    argv.push_back(fs::absolute(env("BRELK_PROGRAM")));

    bool failure = c.status != 0;
    std::string line = env("BRELK_CAPTION", "brelk-install") + ": " + c.message + "\n";
    for (int run = 1; run <= c.runs; ++run) {
        Outcome o = fixture::run(package, argv, win32 ? 120 : 30);
        ASSERT_FALSE(o.timed_out) << "run " << run << " hung";
        EXPECT_EQ(o.status, c.status) << "run " << run;
        EXPECT_EQ(failure ? o.err : o.out, line) << "run " << run;
        EXPECT_EQ(failure ? o.out : o.err, "") << "run " << run;
    }
    Tree got = snapshot(package);
    EXPECT_EQ(got, sorted(c.after)) << "got:\n" << describe(got) << "expected:\n" << describe(sorted(c.after));
}

INSTANTIATE_TEST_SUITE_P(Packages, Install, testing::ValuesIn(cases),
                         [](const testing::TestParamInfo<Case> &info) { return std::string(info.param.name); });

}  // namespace
