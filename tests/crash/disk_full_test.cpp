// A library too large for the disk that is left: its copy fails halfway,
// and nothing of it may be lost or left behind in LIB.
#include <gtest/gtest.h>

#include <errno.h>
#include <stdlib.h>
#include <string.h>
#include <sys/mount.h>

#include <random>

#include "e2e/fixture.h"

using namespace fixture;

TEST(DiskFull, LargeLibraryStaysWholeAndFailureIsReported)
{
    const char *program = getenv("BRELK_PROGRAM");
    ASSERT_NE(program, nullptr) << "BRELK_PROGRAM is not set";

    TempDir temp;
    fs::path disk = temp.path() / "disk";
    fs::create_directories(disk);
    if (mount("brelk-test", disk.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, "size=1024k") != 0)
        GTEST_SKIP() << "cannot mount a small tmpfs here (" << strerror(errno) << "): needs root";
    struct Unmount {
        fs::path path;
        ~Unmount() { umount2(path.c_str(), MNT_DETACH); }
    } unmount{disk};

    std::mt19937 random(7);
    std::string big(700 * 1024, '\0');
    for (char &c : big)
        c = static_cast<char>(random());
    Tree package = {file("big.lib", big), file("small.lib", "small"), file("x.h", "x"), file("mandelf.h", "m")};
    build(disk, package);

    Outcome o = run(disk, {fs::absolute(program).string()}, 60);
    ASSERT_FALSE(o.timed_out);
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.err, "brelk-install: BRELK was not completely installed: 1 file could not be moved and was left "
                     "in place.\n");
    Tree want = sorted({dir("INCLUDE"), file("INCLUDE/x.h", "x"), dir("LIB"), file("LIB/small.lib", "small"),
                        file("big.lib", big), file("mandelf.h", "m")});
    Tree got = snapshot(disk);
    EXPECT_EQ(got, want) << describe(got);
}
