#include "e2e/fixture.h"

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace fixture {

Entry file(std::string path, std::string content) { return {std::move(path), Kind::File, std::move(content)}; }
Entry readonly(std::string path, std::string content) { return {std::move(path), Kind::ReadOnly, std::move(content)}; }
Entry dir(std::string path) { return {std::move(path), Kind::Dir, {}}; }
Entry fifo(std::string path) { return {std::move(path), Kind::Fifo, {}}; }

TempDir::TempDir()
{
    std::string pattern = (fs::temp_directory_path() / "brelk-test-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir()
{
    std::error_code ec;
    // Read-only files and directories must be writable to be removed.
    for (auto it = fs::recursive_directory_iterator(path_, ec); !ec && it != fs::recursive_directory_iterator(); it.increment(ec))
        if (!it->is_symlink())
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path_, ec);
}

fs::path deep_dir(const fs::path &base, size_t min_length)
{
    fs::path p = base;
    while (p.string().size() < min_length)
        p /= std::string(std::min<size_t>(100, min_length - p.string().size()), 'd');
    fs::create_directories(p);
    return p;
}

static void write_file(const fs::path &p, const std::string &content)
{
    std::ofstream out(p, std::ios::binary);
    out << content;
    if (!out)
        throw std::runtime_error("cannot write " + p.string());
}

void build(const fs::path &root, const Tree &tree)
{
    for (const Entry &e : tree) {
        fs::path p = root / e.path;
        fs::create_directories(p.parent_path());
        switch (e.kind) {
        case Kind::File:
            write_file(p, e.content);
            break;
        case Kind::ReadOnly:
            write_file(p, e.content);
            fs::permissions(p, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                            fs::perm_options::remove);
            break;
        case Kind::Dir:
            fs::create_directories(p);
            break;
        case Kind::Fifo:
            if (mkfifo(p.c_str(), 0644) != 0)
                throw std::runtime_error("mkfifo failed");
            break;
        }
    }
}

static std::string read_file(const fs::path &p)
{
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

Tree sorted(Tree tree)
{
    std::sort(tree.begin(), tree.end(), [](const Entry &a, const Entry &b) { return a.path < b.path; });
    return tree;
}

Tree snapshot(const fs::path &root)
{
    Tree tree;
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator(); ++it) {
        std::string rel = fs::relative(it->path(), root).generic_string();
        fs::file_status st = it->symlink_status();
        if (fs::is_directory(st))
            tree.push_back(dir(rel));
        else if (fs::is_fifo(st))
            tree.push_back(fifo(rel));
        else if ((st.permissions() & fs::perms::owner_write) == fs::perms::none)
            tree.push_back(readonly(rel, read_file(it->path())));
        else
            tree.push_back(file(rel, read_file(it->path())));
    }
    return sorted(tree);
}

void PrintTo(const Entry &e, std::ostream *os)
{
    *os << describe({e});
}

std::string describe(const Tree &tree)
{
    static const char *kinds[] = {"file", "read-only", "dir", "fifo"};
    std::ostringstream s;
    for (const Entry &e : tree) {
        s << "  " << kinds[static_cast<int>(e.kind)] << ' ' << e.path;
        if (e.kind == Kind::File || e.kind == Kind::ReadOnly)
            s << " (" << e.content.size() << " bytes" << (e.content.size() < 40 ? ": " + e.content : "") << ')';
        s << '\n';
    }
    return s.str();
}

Outcome run(const fs::path &dir, const std::vector<std::string> &argv, std::chrono::microseconds timeout)
{
    TempDir capture;
    fs::path out_path = capture.path() / "out", err_path = capture.path() / "err";
    pid_t pid = fork();
    if (pid < 0)
        throw std::runtime_error("fork failed");
    if (pid == 0) {
        int out = open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        int err = open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        int in = open("/dev/null", O_RDONLY);
        if (out < 0 || err < 0 || in < 0 || chdir(dir.c_str()) != 0)
            _exit(127);
        dup2(in, 0);
        dup2(out, 1);
        dup2(err, 2);
        setpgid(0, 0);
        std::vector<char *> args;
        for (const std::string &a : argv)
            args.push_back(const_cast<char *>(a.c_str()));
        args.push_back(nullptr);
        execv(args[0], args.data());
        _exit(127);
    }
    Outcome o;
    auto deadline = std::chrono::steady_clock::now() + timeout;
    int status = 0;
    for (;;) {
        pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid)
            break;
        if (std::chrono::steady_clock::now() > deadline) {
            kill(-pid, SIGKILL);
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            o.timed_out = true;
            break;
        }
        auto left = deadline - std::chrono::steady_clock::now();
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(left, std::chrono::milliseconds(2)));
    }
    o.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    o.out = read_file(out_path);
    o.err = read_file(err_path);
    return o;
}

}  // namespace fixture
