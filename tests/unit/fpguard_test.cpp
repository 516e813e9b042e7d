// The floating-point state around the message box, seen from the box and
// from its caller.
#include <gtest/gtest.h>

#include <stdint.h>
#include <string.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "doubles/box_double.h"
#include "report/report.h"

#if defined(__i386__) || defined(__x86_64__)

namespace {

// The x87 environment as fnstenv stores it in 32-bit protected mode.
struct X87Env {
    uint16_t control, pad0, status, pad1, tag, pad2;
    uint32_t rest[4];
};

const uint16_t initial_control = 0x037F;  // all masked, nearest, 64-bit precision
// Single precision (PC=00), toward zero (RC=11), divide-by-zero unmasked.
const uint16_t unusual_control = 0x0C7B;

X87Env read_env()
{
    X87Env e;
    // fnstenv masks every exception; fldenv puts the environment back.
    __asm__ volatile("fnstenv %0\n\tfldenv %0" : "=m"(e) : : "memory");
    return e;
}

uint16_t read_control()
{
    uint16_t cw;
    __asm__ volatile("fnstcw %0" : "=m"(cw));
    return cw;
}

void set_control(uint16_t cw)
{
    __asm__ volatile("fldcw %0" : : "m"(cw));
}

TEST(FpGuard, BoxSeesInitialUnitCallerGetsExactStateBack)
{
    box_double::reset();
    X87Env inside{};
    box_double::on_box([&] { inside = read_env(); });

    const long double value = 1.2345678901234567890L;
    long double back = 0;
    uint16_t control = unusual_control, original = read_control();
    X87Env before, after;
    __asm__ volatile("fldcw %1\n\tfldt %2\n\tfnstenv %0\n\tfldenv %0"
                     : "=m"(before)
                     : "m"(control), "m"(value)
                     : "memory", "st");
    report_message("BRELK successfully installed!", MB_OK);
    __asm__ volatile("fnstenv %0\n\tfldenv %0\n\tfstpt %1\n\tfldcw %2"
                     : "=m"(after), "=m"(back)
                     : "m"(original)
                     : "memory", "st");

    ASSERT_EQ(box_double::boxes().size(), 1u);
    EXPECT_EQ(inside.control, initial_control);
    EXPECT_EQ(inside.status & 0x38FF, 0) << "status not clear, or stack not empty";
    EXPECT_EQ(inside.tag, 0xFFFF) << "register stack not empty";

    EXPECT_EQ(after.control, unusual_control);
    EXPECT_EQ(after.status, before.status);
    EXPECT_EQ(after.tag, before.tag);
    EXPECT_NE(after.tag, 0xFFFF);
    EXPECT_EQ(memcmp(&back, &value, 10), 0) << "register contents changed";
}

TEST(FpGuard, ConcurrentReportsEachGetTheirOwnStateBack)
{
    box_double::reset();
    std::mutex m;
    std::condition_variable cv;
    int inside = 0;
    bool both_in = false;
    uint16_t seen[2] = {};
    box_double::on_box([&] {
        uint16_t cw = read_control();
        // A box that leaves its own settings behind, as a driver might.
        set_control(0x007F);
        std::unique_lock<std::mutex> lock(m);
        seen[inside] = cw;
        ++inside;
        cv.notify_all();
        // Both boxes up at once, but never a hang if the guard serialised them.
        both_in = cv.wait_for(lock, std::chrono::seconds(10), [&] { return inside == 2; }) || both_in;
    });

    uint16_t got[2] = {};
    const uint16_t want[2] = {unusual_control, 0x0A7F /* double precision, round up */};
    auto reporter = [&](int i) {
        set_control(want[i]);
        report_message("BRELK successfully installed!", MB_OK);
        got[i] = read_control();
        set_control(initial_control);
    };
    std::thread a(reporter, 0), b(reporter, 1);
    a.join();
    b.join();

    EXPECT_TRUE(both_in);
    EXPECT_EQ(seen[0], initial_control);
    EXPECT_EQ(seen[1], initial_control);
    EXPECT_EQ(got[0], want[0]);
    EXPECT_EQ(got[1], want[1]);
}

}  // namespace

#endif
