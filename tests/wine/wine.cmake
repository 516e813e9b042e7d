# Chooses the Wine that can run here and registers the Wine tests.
execute_process(COMMAND /usr/lib/wine/wine --version RESULT_VARIABLE brelk_wine32_rc
                OUTPUT_QUIET ERROR_QUIET)
if(brelk_wine32_rc EQUAL 0 AND EXISTS "${BRELK_WIN32_EXE}")
  set(brelk_wine /usr/lib/wine/wine)
  set(brelk_winearch win32)
  set(brelk_exe "${BRELK_WIN32_EXE}")
elseif(EXISTS /usr/lib/wine/wine64 AND EXISTS "${BRELK_WIN64_EXE}")
  message(STATUS "32-bit code cannot run on this host: Wine tests use the 64-bit image")
  set(brelk_wine /usr/lib/wine/wine64)
  set(brelk_winearch win64)
  set(brelk_exe "${BRELK_WIN64_EXE}")
else()
  message(WARNING "No usable Wine: the Windows program is built but not run")
  return()
endif()

set(brelk_wine_dir ${CMAKE_CURRENT_BINARY_DIR}/wine)
set(brelk_wine_env
  "BRELK_WINE=${brelk_wine}"
  "WINEARCH=${brelk_winearch}"
  "WINEPREFIX=${brelk_wine_dir}/prefix"
  "PATH=/usr/lib/wine:$ENV{PATH}")

add_test(NAME wine.prefix
  COMMAND ${CMAKE_COMMAND} -E env ${brelk_wine_env}
          python3 ${CMAKE_CURRENT_SOURCE_DIR}/wine/wine.py setup)
set_tests_properties(wine.prefix PROPERTIES FIXTURES_SETUP wine TIMEOUT 900 RESOURCE_LOCK wineserver)

add_test(NAME e2e.wine COMMAND e2e_tests)
set_tests_properties(e2e.wine PROPERTIES FIXTURES_REQUIRED wine TIMEOUT 1200 RESOURCE_LOCK wineserver
  ENVIRONMENT "${brelk_wine_env};BRELK_TARGET=win32;BRELK_PROGRAM=${brelk_exe};BRELK_LAUNCHER=${CMAKE_CURRENT_SOURCE_DIR}/wine/launch;BRELK_CAPTION=brelk-install.exe")

get_filename_component(brelk_exe_dir "${brelk_exe}" DIRECTORY)
add_test(NAME wine.box
  COMMAND python3 ${CMAKE_CURRENT_SOURCE_DIR}/wine/box_test.py "${brelk_exe}" "${brelk_exe_dir}/spawn.exe")
set_tests_properties(wine.box PROPERTIES FIXTURES_REQUIRED wine TIMEOUT 600 RESOURCE_LOCK wineserver
  ENVIRONMENT "${brelk_wine_env}")

add_test(NAME wine.window
  COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/wine/in-xvfb.sh
          ${CMAKE_CURRENT_SOURCE_DIR}/wine/window_test.sh "${brelk_exe}" ${brelk_wine_dir}/box.png)
set_tests_properties(wine.window PROPERTIES FIXTURES_REQUIRED wine TIMEOUT 600 RESOURCE_LOCK wineserver
  ENVIRONMENT "${brelk_wine_env}")

add_test(NAME wine.fpguard
  COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/wine/in-xvfb.sh
          ${CMAKE_COMMAND} -E env WINELOADER=${brelk_wine} WINEDEBUG=-all
          ${brelk_wine} "${brelk_exe_dir}/fp_box_test.exe")
set_tests_properties(wine.fpguard PROPERTIES FIXTURES_REQUIRED wine TIMEOUT 600 RESOURCE_LOCK wineserver
  ENVIRONMENT "${brelk_wine_env}")
