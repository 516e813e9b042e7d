// Package directories made on disk, read back, and the program run in them.
#ifndef BRELK_TEST_FIXTURE_H
#define BRELK_TEST_FIXTURE_H

#include <chrono>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace fixture {

namespace fs = std::filesystem;

enum class Kind { File, ReadOnly, Dir, Fifo };

struct Entry {
    std::string path;  // relative, '/'-separated
    Kind kind = Kind::File;
    std::string content;

    bool operator==(const Entry &o) const
    {
        return path == o.path && kind == o.kind && content == o.content;
    }
};

using Tree = std::vector<Entry>;

void PrintTo(const Entry &e, std::ostream *os);

Entry file(std::string path, std::string content);
Entry readonly(std::string path, std::string content);
Entry dir(std::string path);
Entry fifo(std::string path);

/* A fresh directory under the system's temporary directory, removed by the destructor. */
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;
    const fs::path &path() const { return path_; }

private:
    fs::path path_;
};

/* Nested directories below base whose full path is at least min_length long. */
fs::path deep_dir(const fs::path &base, size_t min_length);

void build(const fs::path &root, const Tree &tree);
Tree snapshot(const fs::path &root);  // sorted by path; symlinks are not followed
Tree sorted(Tree tree);
std::string describe(const Tree &tree);

struct Outcome {
    int status = -1;  // exit status, or -1 when killed
    bool timed_out = false;
    std::string out, err;
};

/* Runs argv with dir as its working directory; killed (SIGKILL) after timeout. */
Outcome run(const fs::path &dir, const std::vector<std::string> &argv, std::chrono::microseconds timeout);
inline Outcome run(const fs::path &dir, const std::vector<std::string> &argv, int timeout_s)
{
    return run(dir, argv, std::chrono::seconds(timeout_s));
}

}  // namespace fixture

#endif
