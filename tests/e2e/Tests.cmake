# Every tests/e2e/<name>_e2e.cpp is one harness executable that drives the real
# Kelvarin.exe (found beside the tests folder) inside the Wine desktop.
file(GLOB KELVARIN_E2E_TESTS CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*_e2e.cpp)
add_library(e2e_support STATIC ${CMAKE_CURRENT_LIST_DIR}/harness.cpp
            ${CMAKE_CURRENT_LIST_DIR}/objects.cpp)
target_compile_options(e2e_support PRIVATE ${KELVARIN_CHARSET_FLAGS} -Wall -Wextra -Werror)
target_link_libraries(e2e_support PUBLIC kelvarin_core gtest_win32)
foreach(src ${KELVARIN_E2E_TESTS})
  get_filename_component(name ${src} NAME_WE)
  kelvarin_win32_test(${name} ${src})
  target_link_libraries(${name} PRIVATE e2e_support gtest_main_win32)
  add_dependencies(${name} Kelvarin)
endforeach()

# The log-off case runs in two halves around `wineboot -e` (see logoff.sh).
kelvarin_win32_test(logoff_helper ${CMAKE_CURRENT_LIST_DIR}/logoff_helper.cpp)
target_link_libraries(logoff_helper PRIVATE e2e_support)
add_dependencies(logoff_helper Kelvarin)
kelvarin_win32_test(tools_logoff_helper ${CMAKE_CURRENT_LIST_DIR}/tools_logoff_helper.cpp)
target_link_libraries(tools_logoff_helper PRIVATE e2e_support)
add_dependencies(tools_logoff_helper Kelvarin)
kelvarin_win32_test(dialog_logoff_helper ${CMAKE_CURRENT_LIST_DIR}/dialog_logoff_helper.cpp)
target_link_libraries(dialog_logoff_helper PRIVATE e2e_support)
add_dependencies(dialog_logoff_helper Kelvarin)

# A stand-in for a system program, to prove that the real one is started by full path.
add_executable(decoy ${CMAKE_CURRENT_LIST_DIR}/decoy.cpp)
target_link_options(decoy PRIVATE -static -static-libgcc -static-libstdc++)
set_target_properties(decoy PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
foreach(src ${KELVARIN_E2E_TESTS})
  get_filename_component(name ${src} NAME_WE)
  add_dependencies(${name} decoy)
endforeach()

# The hook DLL that reads Kelvarin's menus from inside its process.
add_library(menu_spy SHARED ${CMAKE_CURRENT_LIST_DIR}/menu_spy.cpp)
target_compile_options(menu_spy PRIVATE ${KELVARIN_CHARSET_FLAGS} -Wall -Wextra -Werror)
target_link_options(menu_spy PRIVATE -static -static-libgcc -static-libstdc++)
set_target_properties(menu_spy PROPERTIES PREFIX "" RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
foreach(src ${KELVARIN_E2E_TESTS})
  get_filename_component(name ${src} NAME_WE)
  add_dependencies(${name} menu_spy)
endforeach()

# Stand-ins for the system libraries that are not "known DLLs", planted beside the
# program to prove that it never loads them from its own folder.
foreach(lib comctl32)
  add_library(decoy_${lib} SHARED ${CMAKE_CURRENT_LIST_DIR}/decoy_dll.cpp)
  target_link_options(decoy_${lib} PRIVATE -static -static-libgcc -static-libstdc++)
  set_target_properties(decoy_${lib} PROPERTIES PREFIX "" OUTPUT_NAME ${lib}
                        RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/decoys)
  foreach(src ${KELVARIN_E2E_TESTS})
    get_filename_component(name ${src} NAME_WE)
    add_dependencies(${name} decoy_${lib})
  endforeach()
endforeach()

# Counting another process's objects: the probe that object counts load into it, and a
# program that makes and keeps objects on request, to show that the count sees them.
add_library(object_probe SHARED ${CMAKE_CURRENT_LIST_DIR}/object_probe.cpp)
target_compile_options(object_probe PRIVATE -Wall -Wextra -Werror)
target_link_options(object_probe PRIVATE -static -static-libgcc -static-libstdc++ -Wl,--kill-at)
set_target_properties(object_probe PROPERTIES PREFIX "" RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
add_executable(object_leaker ${CMAKE_CURRENT_LIST_DIR}/object_leaker.cpp)
target_compile_options(object_leaker PRIVATE -Wall -Wextra -Werror)
target_link_options(object_leaker PRIVATE -static -static-libgcc -static-libstdc++)
set_target_properties(object_leaker PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
foreach(src ${KELVARIN_E2E_TESTS})
  get_filename_component(name ${src} NAME_WE)
  add_dependencies(${name} object_probe object_leaker)
endforeach()

# The About box's helpers: a recorder registered as the https handler, and a resource-meter
# library of our own to plant beside the program and in the system folder.
add_executable(url_recorder ${CMAKE_CURRENT_LIST_DIR}/url_recorder.cpp)
add_library(fake_rsrc32 SHARED ${CMAKE_CURRENT_LIST_DIR}/fake_rsrc32.cpp
                               ${CMAKE_CURRENT_LIST_DIR}/fake_rsrc32.def)
set_target_properties(fake_rsrc32 PROPERTIES PREFIX "" OUTPUT_NAME rsrc32)
foreach(target url_recorder fake_rsrc32)
  target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++)
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
endforeach()
foreach(src ${KELVARIN_E2E_TESTS})
  get_filename_component(name ${src} NAME_WE)
  add_dependencies(${name} url_recorder fake_rsrc32)
endforeach()

# The composed desktop's stand-in library (composition.h), exported undecorated as the
# system's is.
add_library(dwmapi_standin SHARED ${CMAKE_CURRENT_LIST_DIR}/dwmapi_standin.cpp)
target_compile_options(dwmapi_standin PRIVATE -Wall -Wextra -Werror)
target_link_options(dwmapi_standin PRIVATE -static -static-libgcc -static-libstdc++ -Wl,--kill-at)
set_target_properties(dwmapi_standin PROPERTIES PREFIX "" OUTPUT_NAME dwmapi
                      RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
foreach(src ${KELVARIN_E2E_TESTS})
  get_filename_component(name ${src} NAME_WE)
  add_dependencies(${name} dwmapi_standin)
endforeach()
