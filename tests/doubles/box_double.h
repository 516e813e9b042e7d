// A message box double: records each box and runs a hook while it is "up".
#ifndef BRELK_BOX_DOUBLE_H
#define BRELK_BOX_DOUBLE_H

#include <functional>
#include <string>
#include <vector>

namespace box_double {

struct Box {
    std::string text, caption;
    unsigned style;
    bool owned;
};

void reset(const char *command_line = "C:\\BRELK\\brelk-install.exe");
std::vector<Box> boxes();
void on_box(std::function<void()> hook);  // runs inside MessageBoxA

}  // namespace box_double

#endif
