# Every tests/wine/<name>_test.cpp is one GoogleTest executable run under Wine.
add_library(gtest_main_win32 STATIC ${GTEST_SRC}/src/gtest_main.cc)
target_link_libraries(gtest_main_win32 PUBLIC gtest_win32)
file(GLOB KELVARIN_WINE_TESTS CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*_test.cpp)
foreach(src ${KELVARIN_WINE_TESTS})
  get_filename_component(name ${src} NAME_WE)
  kelvarin_win32_test(${name} ${src})
  target_link_libraries(${name} PRIVATE gtest_main_win32)
  add_dependencies(${name} Kelvarin object_probe)
endforeach()
# The folder picker's test reads the thread's COM state.
target_link_libraries(winutil_test PRIVATE ole32)
