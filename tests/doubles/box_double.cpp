// Stands in for the POSIX layer's command line and message box.
#include "doubles/box_double.h"

#include <mutex>

#include "platform/platform.h"

namespace box_double {

static std::mutex mutex;
static std::string command_line;
static std::vector<Box> shown;
static std::function<void()> hook;

void reset(const char *line)
{
    std::lock_guard<std::mutex> lock(mutex);
    command_line = line;
    shown.clear();
    hook = nullptr;
}

std::vector<Box> boxes()
{
    std::lock_guard<std::mutex> lock(mutex);
    return shown;
}

void on_box(std::function<void()> h)
{
    std::lock_guard<std::mutex> lock(mutex);
    hook = std::move(h);
}

}  // namespace box_double

extern "C" LPSTR GetCommandLineA(void)
{
    return &box_double::command_line[0];
}

extern "C" int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT style)
{
    std::function<void()> hook;
    {
        std::lock_guard<std::mutex> lock(box_double::mutex);
        box_double::shown.push_back({text, caption, style, owner != nullptr});
        hook = box_double::hook;
    }
    if (hook)
        hook();
    return IDOK;
}
