# CTest entries for the end-to-end harnesses.
file(GLOB KELVARIN_E2E_TESTS CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*_e2e.cpp)
foreach(src ${KELVARIN_E2E_TESTS})
  get_filename_component(name ${src} NAME_WE)
  kelvarin_wine_test(e2e.${KELVARIN_TAG}${name} tests/${name}.exe)
  set_tests_properties(e2e.${KELVARIN_TAG}${name} PROPERTIES LABELS e2e)
endforeach()

# The captures kept by e2e.capture_e2e go through two independent BMP readers.
set_tests_properties(e2e.${KELVARIN_TAG}capture_e2e PROPERTIES FIXTURES_SETUP captures${KELVARIN_TAG})
add_test(NAME e2e.${KELVARIN_TAG}capture_readers COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/check_captures.sh
         ${KELVARIN_WIN32_DIR}/tests/captures)
set_tests_properties(e2e.${KELVARIN_TAG}capture_readers PROPERTIES FIXTURES_REQUIRED captures${KELVARIN_TAG} LABELS e2e)

# A full disk: the capture harness again under a 1 MB file-size limit, which every capture
# exceeds. Wine ignores SIGXFSZ only when it is ignored already, so a write at the limit
# fails with an error instead of killing the program.
add_test(NAME e2e.${KELVARIN_TAG}capture_full_disk
         COMMAND sh -c "trap '' XFSZ; ulimit -f 2048; exec sh \"$0\" exec \"$1\" \"$2\" --gtest_filter=*FullDisk*"
                 ${WINE_ENV} ${KELVARIN_WINE_STATE} ${KELVARIN_WIN32_DIR}/tests/capture_e2e.exe)
set_tests_properties(e2e.${KELVARIN_TAG}capture_full_disk PROPERTIES FIXTURES_REQUIRED ${KELVARIN_FIXTURE} RUN_SERIAL TRUE
                     TIMEOUT 300 LABELS e2e ENVIRONMENT KELVARIN_FULL_DISK=1)

# Log-off ends every process of the session, the desktop included: it runs last.
add_test(NAME e2e.${KELVARIN_TAG}logoff COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/logoff.sh ${WINE_ENV}
         ${KELVARIN_WINE_STATE} ${KELVARIN_WIN32_DIR}/tests/logoff_helper.exe)
set_tests_properties(e2e.${KELVARIN_TAG}logoff PROPERTIES FIXTURES_REQUIRED ${KELVARIN_FIXTURE} RUN_SERIAL TRUE TIMEOUT 300
                     LABELS e2e)

# The same with both tool windows open: recorded at log-off, reopened at the next start.
add_test(NAME e2e.${KELVARIN_TAG}tools_logoff COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/logoff.sh ${WINE_ENV}
         ${KELVARIN_WINE_STATE} ${KELVARIN_WIN32_DIR}/tests/tools_logoff_helper.exe)
set_tests_properties(e2e.${KELVARIN_TAG}tools_logoff PROPERTIES FIXTURES_REQUIRED ${KELVARIN_FIXTURE} RUN_SERIAL TRUE TIMEOUT 300
                     LABELS e2e)

# The same with the settings dialog open and edited: the settings as they were are saved.
add_test(NAME e2e.${KELVARIN_TAG}dialog_logoff COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/logoff.sh ${WINE_ENV}
         ${KELVARIN_WINE_STATE} ${KELVARIN_WIN32_DIR}/tests/dialog_logoff_helper.exe)
set_tests_properties(e2e.${KELVARIN_TAG}dialog_logoff PROPERTIES FIXTURES_REQUIRED ${KELVARIN_FIXTURE} RUN_SERIAL TRUE TIMEOUT 300
                     LABELS e2e)
