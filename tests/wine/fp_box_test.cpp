// The floating-point guard around the real message box: a CBT hook on this
// thread reads the control word while the box is up and dismisses it.
// Exit status 0 when the box ran with the initial control word and the
// caller got its own back.
#include <windows.h>

#include <stdio.h>

#include "report/report.h"

static HHOOK hook;
static int activations;
static WORD inside;

static WORD read_control()
{
    WORD cw;
    __asm__ volatile("fnstcw %0" : "=m"(cw));
    return cw;
}

static void set_control(WORD cw)
{
    __asm__ volatile("fldcw %0" : : "m"(cw));
}

static LRESULT CALLBACK on_cbt(int code, WPARAM wparam, LPARAM lparam)
{
    if (code == HCBT_ACTIVATE && activations++ == 0) {
        inside = read_control();
        PostMessageA(reinterpret_cast<HWND>(wparam), WM_COMMAND, IDOK, 0);
    }
    return CallNextHookEx(hook, code, wparam, lparam);
}

int main()
{
    const WORD initial = 0x037F;  // all masked, nearest, 64-bit precision
    const WORD unusual = 0x0C7B;  // single precision, toward zero, divide-by-zero unmasked
    hook = SetWindowsHookExA(WH_CBT, on_cbt, nullptr, GetCurrentThreadId());
    if (!hook) {
        printf("no hook\n");
        return 2;
    }
    WORD original = read_control();
    set_control(unusual);
    report_message("BRELK successfully installed!", MB_OK);
    WORD after = read_control();
    set_control(original);
    UnhookWindowsHookEx(hook);

    printf("box activations %d, control word inside %04x (want %04x), after %04x (want %04x)\n",
           activations, inside, initial, after, unusual);
    return activations >= 1 && inside == initial && after == unusual ? 0 : 1;
}
