# CTest entries for the end-to-end harnesses.
file(GLOB KELVARIN_E2E_TESTS CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*_e2e.cpp)
foreach(src ${KELVARIN_E2E_TESTS})
  get_filename_component(name ${src} NAME_WE)
  kelvarin_wine_test(e2e.${KELVARIN_TAG}${name} tests/${name}.exe --gtest_filter=-*OnTwoMonitors*)
  set_tests_properties(e2e.${KELVARIN_TAG}${name} PROPERTIES LABELS e2e)
endforeach()

# Two monitors: the harness in sessions of their own, each on an X server with two RandR
# outputs in one layout and no virtual desktop (KELVARIN_MONITORS, see scripts/wine-env.sh),
# started and stopped by the case itself. "single" re-runs a one-monitor capture case there.
set(KELVARIN_MONITOR_CASES
    "right|tools_e2e|*OnTwoMonitorsHotkey1*"
    "left|tools_e2e|*OnTwoMonitorsHotkey1*:*OnTwoMonitorsTools*"
    "mixed|tools_e2e|*OnTwoMonitorsHotkey1*:*OnTwoMonitorsStored*"
    "single|capture_e2e|Capture.HotkeysWriteTheDesktopWithTheCursorAndTheClientAreaAsWallpaper")
foreach(case ${KELVARIN_MONITOR_CASES})
  string(REPLACE "|" ";" fields "${case}")
  list(GET fields 0 layout)
  list(GET fields 1 harness)
  list(GET fields 2 filter)
  add_test(NAME e2e.${KELVARIN_TAG}monitors.${layout}
           COMMAND sh ${WINE_ENV} run ${KELVARIN_WINE_STATE}-monitors ${KELVARIN_ARCH}
                   ${KELVARIN_WIN32_DIR}/tests/${harness}.exe --gtest_filter=${filter})
  set_tests_properties(e2e.${KELVARIN_TAG}monitors.${layout} PROPERTIES RUN_SERIAL TRUE TIMEOUT 600
                       LABELS "e2e;monitors" ENVIRONMENT KELVARIN_MONITORS=${layout})
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
