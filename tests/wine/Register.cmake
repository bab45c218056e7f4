# CTest entries for the Win32 unit tests built by the cross build.
file(GLOB KELVARIN_WINE_TESTS CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*_test.cpp)
foreach(src ${KELVARIN_WINE_TESTS})
  get_filename_component(name ${src} NAME_WE)
  kelvarin_wine_test(wine.${name} tests/${name}.exe)
  set_tests_properties(wine.${name} PROPERTIES LABELS wine)
endforeach()
