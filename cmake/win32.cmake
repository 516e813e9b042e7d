# The Windows program: GUI subsystem, statically linked so that it needs
# nothing beyond what every Windows has (KERNEL32, USER32, msvcrt).
set(brelk_win_flags -fno-exceptions -fno-rtti -fno-asynchronous-unwind-tables -D__USE_MINGW_ANSI_STDIO=0)
target_compile_options(brelk_core PRIVATE ${brelk_win_flags})

add_executable(brelk-install WIN32 platform/win/win_main.cpp)
target_compile_options(brelk-install PRIVATE ${brelk_win_flags})
target_link_libraries(brelk-install PRIVATE brelk_core)
target_link_options(brelk-install PRIVATE -static -s -Wl,--gc-sections)
set_target_properties(brelk-install PROPERTIES OUTPUT_NAME brelk-install SUFFIX .exe)

# Test helper: starts the program with an exact command line.
add_executable(spawn tests/wine/spawn.cpp)
target_link_options(spawn PRIVATE -static)

# Test program: the floating-point guard around the real box.
add_executable(fp_box_test tests/wine/fp_box_test.cpp)
target_link_libraries(fp_box_test PRIVATE brelk_core)
target_link_options(fp_box_test PRIVATE -static)
