# CTest entries for the end-to-end harnesses.
file(GLOB KELVARIN_E2E_TESTS CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*_e2e.cpp)
foreach(src ${KELVARIN_E2E_TESTS})
  get_filename_component(name ${src} NAME_WE)
  kelvarin_wine_test(e2e.${name} tests/${name}.exe)
  set_tests_properties(e2e.${name} PROPERTIES LABELS e2e)
endforeach()

# Log-off ends every process of the session, the desktop included: it runs last.
add_test(NAME e2e.logoff COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/logoff.sh ${WINE_ENV}
         ${KELVARIN_WINE_STATE} ${KELVARIN_WIN32_DIR}/tests/logoff_helper.exe)
set_tests_properties(e2e.logoff PROPERTIES FIXTURES_REQUIRED wine RUN_SERIAL TRUE TIMEOUT 300
                     LABELS e2e)

# The same with both tool windows open: recorded at log-off, reopened at the next start.
add_test(NAME e2e.tools_logoff COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/logoff.sh ${WINE_ENV}
         ${KELVARIN_WINE_STATE} ${KELVARIN_WIN32_DIR}/tests/tools_logoff_helper.exe)
set_tests_properties(e2e.tools_logoff PROPERTIES FIXTURES_REQUIRED wine RUN_SERIAL TRUE TIMEOUT 300
                     LABELS e2e)
