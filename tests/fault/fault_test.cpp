// Every platform operation the run uses fails once, at every call it makes
// on the sample package: nothing may be lost, and the closing message must
// report failure exactly when a file was left short of its place.
#include <gtest/gtest.h>

#include <unistd.h>

#include <fstream>
#include <iterator>
#include <map>
#include <string>

#include "doubles/box_double.h"
#include "e2e/fixture.h"
#include "fault/faults.h"
#include "installer/install.h"
#include "platform/wildcard.h"

using namespace fixture;

namespace {

const char ok[] = "BRELK successfully installed!";

Tree sample_package()
{
    Tree tree;
    for (const auto &entry : fs::directory_iterator(BRELK_SAMPLE_DIR)) {
        std::ifstream in(entry.path(), std::ios::binary);
        std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        tree.push_back(file(entry.path().filename().string(), content));
    }
    return tree;
}

std::string destination(const std::string &name)
{
    if (wildcard_match("mandelf.h", name.c_str()))
        return name;
    if (wildcard_match("*.h", name.c_str()))
        return "INCLUDE/" + name;
    if (wildcard_match("*.lib", name.c_str()))
        return "LIB/" + name;
    return name;
}

struct Result {
    int status;
    Tree tree;
    std::vector<box_double::Box> boxes;
};

Result install(const Tree &package)
{
    TempDir temp;
    fs::path root = temp.path() / "package";
    fs::create_directories(root);
    build(root, package);
    fs::path back = fs::current_path();
    fs::current_path(root);
    box_double::reset();
    int status = install_main(nullptr, nullptr, const_cast<char *>(""), SW_SHOWDEFAULT);
    fs::current_path(back);
    return {status, snapshot(root), box_double::boxes()};
}

/* Checks one run; returns whether any file was left short of its place. */
void check(const Tree &package, const Result &run, const std::string &what)
{
    std::map<std::string, const Entry *> got;
    for (const Entry &e : run.tree)
        got[e.path] = &e;
    auto holds = [&](const std::string &path, const std::string &content) {
        auto it = got.find(path);
        return it != got.end() && it->second->content == content;
    };

    bool left_behind = false;
    std::map<std::string, std::string> content_of;
    for (const Entry &e : package) {
        content_of[e.path] = e.content;
        std::string dest = destination(e.path);
        if (holds(dest, e.content))
            continue;
        left_behind = true;
        EXPECT_TRUE(holds(e.path, e.content)) << what << ": " << e.path << " lost\n" << describe(run.tree);
    }
    // Nothing else: no temporary file, no stray or corrupted copy.
    for (const Entry &e : run.tree) {
        if (e.kind == Kind::Dir) {
            EXPECT_TRUE(e.path == "INCLUDE" || e.path == "LIB") << what << ": stray directory " << e.path;
            continue;
        }
        std::string name = fs::path(e.path).filename().string();
        auto original = content_of.find(name);
        ASSERT_NE(original, content_of.end()) << what << ": stray file " << e.path;
        EXPECT_EQ(e.content, original->second) << what << ": " << e.path << " differs";
    }

    ASSERT_EQ(run.boxes.size(), 1u) << what;
    const box_double::Box &box = run.boxes[0];
    if (left_behind) {
        EXPECT_EQ(run.status, 1) << what;
        EXPECT_EQ(box.style, MB_OK | MB_ICONERROR) << what;
        EXPECT_NE(box.text, ok) << what;
    } else {
        EXPECT_EQ(run.status, 0) << what;
        EXPECT_EQ(box.text, ok) << what << "\n" << describe(run.tree);
        EXPECT_EQ(box.style, MB_OK) << what;
    }
}

class Faults : public testing::TestWithParam<int> {};

TEST_P(Faults, NothingLostAndFailureReportedExactly)
{
    Tree package = sample_package();
    if (GetParam() == 1)
        package.push_back(readonly("locked.h", "read-only header"));

    faults::reset();
    Result clean = install(package);
    check(package, clean, "without faults");
    ASSERT_EQ(clean.status, 0);
    int counts[faults::op_count];
    for (int op = 0; op < faults::op_count; ++op)
        counts[op] = faults::calls(static_cast<faults::Op>(op));

    for (int op = 0; op < faults::op_count; ++op) {
        EXPECT_GT(counts[op], 0) << faults::names[op] << " is never called";
        // One call past the last: a later call, or none, must not matter either.
        for (int k = 1; k <= counts[op] + 1; ++k) {
            faults::reset();
            faults::arm(static_cast<faults::Op>(op), k);
            Result result = install(package);
            check(package, result, std::string(faults::names[op]) + " call " + std::to_string(k) + " fails");
        }
    }
    faults::reset();
}

INSTANTIATE_TEST_SUITE_P(Packages, Faults, testing::Values(0, 1),
                         [](const testing::TestParamInfo<int> &info) {
                             return info.param == 0 ? "Sample" : "SampleWithReadOnlyHeader";
                         });

}  // namespace
