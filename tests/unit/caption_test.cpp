#include <gtest/gtest.h>

#include "report/report.h"

struct CaptionCase {
    const char *command_line;
    const char *caption;
};

void PrintTo(const CaptionCase &c, std::ostream *os)
{
    *os << '[' << c.command_line << ']';
}

class Caption : public testing::TestWithParam<CaptionCase> {};

TEST_P(Caption, FromCommandLine)
{
    const CaptionCase &c = GetParam();
    char caption[CAPTION_SIZE];
    make_caption(c.command_line, caption);
    EXPECT_STREQ(caption, c.caption) << "command line: " << c.command_line;
}

INSTANTIATE_TEST_SUITE_P(
    Table, Caption,
    testing::Values(
        // How a Windows shell starts it: quoted path, one space.
        CaptionCase{"\"C:\\BRELK\\brelk-install.exe\" ", "brelk-install.exe"},
        CaptionCase{"\"C:\\BRELK\\brelk-install.exe\"", "brelk-install.exe"},
        CaptionCase{"C:\\BRELK\\brelk-install.exe", "brelk-install.exe"},
        CaptionCase{".\\brelk-install", "brelk-install"},
        // No backslash: the whole line, cut to 32 and trimmed.
        CaptionCase{"brelk-install.exe", "brelk-install.exe"},
        CaptionCase{"abcdefghijklmnopqrstuvwxyz0123456789", "abcdefghijklmnopqrstuvwxyz012345"},
        // An argument's backslash counts too.
        CaptionCase{"\"C:\\x\\brelk-install.exe\" D:\\pkg\\dir", "dir"},
        // An argument without one runs on into the caption.
        CaptionCase{"\"C:\\x\\setup.exe\" now", "setup.exe\" now"},
        CaptionCase{"\"C:\\x\\setup.exe\" an argument far too long to keep", "setup.exe\" an argument far too l"},
        // 31-character name: the cut lands right after the closing quote.
        CaptionCase{"\"C:\\x\\abcdefghijklmnopqrstuvwxyz01234\" arg", "abcdefghijklmnopqrstuvwxyz01234"},
        // Longer than 32: trimming looks at the 32nd character only.
        CaptionCase{"C:\\x\\abcdefghijklmnopqrstuvwxyz012345678.exe", "abcdefghijklmnopqrstuvwxyz012345"},
        CaptionCase{"C:\\x\\abcdefghijklmnopqrstuvwxyz01234 6789", "abcdefghijklmnopqrstuvwxyz01234"},
        // Nothing left to show.
        CaptionCase{"C:\\x\\", "Error"}, CaptionCase{"C:\\x\\\"", "Error"},
        CaptionCase{"C:\\x\\ ", "Error"}, CaptionCase{"", "Error"}, CaptionCase{"12345", "Error"},
        CaptionCase{" \t-42", "Error"},
        // Space tested before the quote: only the quote goes.
        CaptionCase{"C:\\x\\name \"", "name "},
        // Only one of each is trimmed.
        CaptionCase{"C:\\x\\name\"\"", "name\""},
        // The scan starts after a leading number.
        CaptionCase{"12setup.exe", "setup.exe"}, CaptionCase{"  +7\\a\\b.exe", "b.exe"},
        CaptionCase{"-setup.exe", "-setup.exe"}, CaptionCase{" setup.exe", " setup.exe"},
        // A forward slash does not separate.
        CaptionCase{"/usr/bin/brelk-install", "/usr/bin/brelk-install"}));
