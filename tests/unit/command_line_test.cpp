// The POSIX layer's command line, as a Win32 process on a Unix host sees it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/posix/posix.h"
#include "report/report.h"

struct CommandLineCase {
    std::vector<std::string> argv;
    const char *line;
    const char *tail;
    const char *caption;
};

void PrintTo(const CommandLineCase &c, std::ostream *os)
{
    *os << c.line;
}

class CommandLine : public testing::TestWithParam<CommandLineCase> {};

TEST_P(CommandLine, QuotedAsWindowsReadsIt)
{
    const CommandLineCase &c = GetParam();
    std::vector<char *> argv;
    for (const std::string &a : c.argv)
        argv.push_back(const_cast<char *>(a.c_str()));
    argv.push_back(nullptr);
    char *tail = posix_set_command_line(static_cast<int>(c.argv.size()), argv.data());
    EXPECT_STREQ(GetCommandLineA(), c.line);
    EXPECT_STREQ(tail, c.tail);
    char caption[CAPTION_SIZE];
    make_caption(GetCommandLineA(), caption);
    EXPECT_STREQ(caption, c.caption);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CommandLine,
    testing::Values(
        CommandLineCase{{"./brelk-install"}, ".\\brelk-install", "", "brelk-install"},
        CommandLineCase{{"/opt/brelk/brelk-install", "a", "b"}, "\\opt\\brelk\\brelk-install a b", "a b", "brelk-install a b"},
        CommandLineCase{{"/my dir/brelk-install"}, "\"\\my dir\\brelk-install\"", "", "brelk-install"},
        CommandLineCase{{"brelk-install", ""}, "brelk-install \"\"", "\"\"", "brelk-install \""},
        CommandLineCase{{"b", "two words"}, "b \"two words\"", "\"two words\"", "b \"two words"},
        CommandLineCase{{"b", "say \"hi\""}, "b \"say \\\"hi\\\"\"", "\"say \\\"hi\\\"\"", "\""},
        CommandLineCase{{"b", "dir\\ x\\"}, "b \"dir\\ x\\\\\"", "\"dir\\ x\\\\\"", "Error"},
        CommandLineCase{{"b", "C:\\pkg"}, "b C:\\pkg", "C:\\pkg", "pkg"}));
