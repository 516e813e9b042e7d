// The real program killed (SIGKILL) at many moments of a run on a package
// of a few thousand files, then run again to the end: every file must be in
// its place, once, with its original bytes, and no temporary file remains.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <random>
#include <string>

#include "e2e/fixture.h"

using namespace fixture;

namespace {

struct Package {
    Tree before, after;
};

Package make_package()
{
    std::mt19937 random(20261211);
    auto bytes = [&](size_t low, size_t high) {
        std::string s(std::uniform_int_distribution<size_t>(low, high)(random), '\0');
        for (char &c : s)
            c = static_cast<char>(random());
        return s;
    };
    Package p;
    auto add = [&](const std::string &name, const std::string &dest, std::string content) {
        p.before.push_back(file(name, content));
        p.after.push_back(file(dest, std::move(content)));
    };
    for (int i = 0; i < 1500; ++i) {
        std::string name = "h" + std::to_string(i) + ".h";
        add(name, "INCLUDE/" + name, bytes(200, 4000));
    }
    for (int i = 0; i < 400; ++i) {
        std::string name = "l" + std::to_string(i) + ".lib";
        add(name, "LIB/" + name, bytes(2000, 60000));
    }
    for (int i = 0; i < 100; ++i)
        add("doc" + std::to_string(i) + ".txt", "doc" + std::to_string(i) + ".txt", bytes(10, 200));
    add("mandelf.h", "mandelf.h", bytes(100, 1000));
    p.after.push_back(dir("INCLUDE"));
    p.after.push_back(dir("LIB"));
    p.after = sorted(p.after);
    return p;
}

TEST(Crash, KilledAnywhereThenRerunLosesNothing)
{
    const char *program = getenv("BRELK_PROGRAM");
    ASSERT_NE(program, nullptr) << "BRELK_PROGRAM is not set";
    std::vector<std::string> argv = {fs::absolute(program).string()};
    const Package package = make_package();

    // How long a whole run takes here, to spread the kills over it.
    TempDir timing;
    build(timing.path(), package.before);
    auto start = std::chrono::steady_clock::now();
    Outcome whole = run(timing.path(), argv, 300);
    auto span = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start);
    ASSERT_EQ(whole.status, 0);
    ASSERT_EQ(snapshot(timing.path()), package.after);

    const int kills = 60;
    int interrupted = 0;
    for (int i = 0; i < kills; ++i) {
        SCOPED_TRACE("kill " + std::to_string(i));
        TempDir temp;
        build(temp.path(), package.before);
        auto moment = span * (i + 1) / (kills + 1);
        Outcome killed = run(temp.path(), argv, moment);
        interrupted += killed.timed_out;

        Outcome rerun = run(temp.path(), argv, 300);
        ASSERT_FALSE(rerun.timed_out);
        EXPECT_EQ(rerun.status, 0);
        EXPECT_EQ(rerun.out, "brelk-install: BRELK successfully installed!\n");
        Tree got = snapshot(temp.path());
        ASSERT_EQ(got.size(), package.after.size()) << describe(got);
        EXPECT_EQ(got, package.after);
    }
    // Most kills must land inside a run for the test to mean anything.
    EXPECT_GE(interrupted, kills * 3 / 4);
}

}  // namespace
