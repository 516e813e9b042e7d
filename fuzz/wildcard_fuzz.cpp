// The matcher against a plain dynamic-programming reference: '*' any run,
// '?' one character, ASCII letters without regard to case.
#include <stdint.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "platform/wildcard.h"

static char fold(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

static bool reference(const std::string &p, const std::string &n)
{
    // at[i][j]: the first i pattern characters match the first j name characters.
    std::vector<std::vector<bool>> at(p.size() + 1, std::vector<bool>(n.size() + 1, false));
    at[0][0] = true;
    for (size_t i = 1; i <= p.size(); ++i)
        for (size_t j = 0; j <= n.size(); ++j) {
            if (p[i - 1] == '*')
                at[i][j] = at[i - 1][j] || (j > 0 && at[i][j - 1]);
            else if (j > 0)
                at[i][j] = at[i - 1][j - 1] && (p[i - 1] == '?' || fold(p[i - 1]) == fold(n[j - 1]));
        }
    return at[p.size()][n.size()];
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1 || size > 512)
        return 0;
    size_t split = data[0] % size;
    std::string all(reinterpret_cast<const char *>(data + 1), size - 1);
    std::string pattern = all.substr(0, split).c_str();
    std::string name = all.substr(std::min(split, all.size())).c_str();
    if (wildcard_match(pattern.c_str(), name.c_str()) != reference(pattern, name))
        abort();
    return 0;
}
