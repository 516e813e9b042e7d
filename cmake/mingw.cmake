# Cross-build for Windows with mingw-w64. BRELK_MINGW_PROCESSOR picks the
# image: i686 for the program as shipped (PE32), x86_64 for the same source
# as a 64-bit image, for Wine hosts that cannot run 32-bit code.
if(NOT BRELK_MINGW_PROCESSOR)
  set(BRELK_MINGW_PROCESSOR i686)
endif()
set(triplet ${BRELK_MINGW_PROCESSOR}-w64-mingw32)
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${BRELK_MINGW_PROCESSOR})
set(CMAKE_CXX_COMPILER ${triplet}-g++)
set(CMAKE_RC_COMPILER ${triplet}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
