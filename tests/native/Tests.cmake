# Every tests/native/<name>_test.cpp is one sanitizer-built GoogleTest executable.
file(GLOB KELVARIN_NATIVE_TESTS CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*_test.cpp)
foreach(src ${KELVARIN_NATIVE_TESTS})
  get_filename_component(name ${src} NAME_WE)
  kelvarin_native_test(${name} ${src})
endforeach()
