// Any command line gives a caption of 1 to 32 characters, taken from the
// command line after its last backslash, or "Error".
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "report/report.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::string line(reinterpret_cast<const char *>(data), size);
    line = line.c_str();  // a command line ends at its first NUL
    char caption[CAPTION_SIZE + 8];
    memset(caption, 0x5A, sizeof caption);
    make_caption(line.c_str(), caption);

    size_t n = strnlen(caption, sizeof caption);
    if (n == 0 || n > CAPTION_SIZE - 1)
        abort();
    for (size_t i = CAPTION_SIZE; i < sizeof caption; ++i)
        if (caption[i] != 0x5A)
            abort();  // wrote past the caption
    if (strcmp(caption, "Error") != 0 && (strchr(caption, '\\') || line.find(caption) == std::string::npos))
        abort();
    return 0;
}
