# Win32 benchmarks, run under Wine in the private session (scripts/wine-env.sh exec).
add_executable(catalogue_bench_win32 ${PROJECT_SOURCE_DIR}/bench/catalogue_bench_win32.cpp)
target_compile_options(catalogue_bench_win32 PRIVATE ${KELVARIN_CHARSET_FLAGS} ${KELVARIN_WARNINGS} -O2)
target_link_libraries(catalogue_bench_win32 PRIVATE kelvarin_core)
target_link_options(catalogue_bench_win32 PRIVATE -static -static-libgcc -static-libstdc++)
set_target_properties(catalogue_bench_win32 PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)

# Start-up to tray icon: the baseline, a minimal GUI program that adds one icon, and the
# harness that times both against the recording taskbar of the end-to-end tests.
add_executable(minimal_tray WIN32 ${PROJECT_SOURCE_DIR}/bench/minimal_tray.cpp)
target_compile_definitions(minimal_tray PRIVATE ${KELVARIN_WIN32_DEFS})
target_compile_options(minimal_tray PRIVATE ${KELVARIN_CHARSET_FLAGS} ${KELVARIN_WARNINGS} -O2)
target_link_libraries(minimal_tray PRIVATE shell32 user32)
# Stripped like the product, so that neither loads more bytes than it runs.
target_link_options(minimal_tray PRIVATE -static -static-libgcc -static-libstdc++ -s -Wl,--gc-sections)
set_target_properties(minimal_tray PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)

add_executable(tray_startup_bench_win32 ${PROJECT_SOURCE_DIR}/bench/tray_startup_bench_win32.cpp)
target_compile_options(tray_startup_bench_win32 PRIVATE ${KELVARIN_CHARSET_FLAGS} ${KELVARIN_WARNINGS} -O2)
target_link_libraries(tray_startup_bench_win32 PRIVATE e2e_support)
target_link_options(tray_startup_bench_win32 PRIVATE -static -static-libgcc -static-libstdc++)
set_target_properties(tray_startup_bench_win32 PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
add_dependencies(tray_startup_bench_win32 Kelvarin minimal_tray)

# For bench/idle_cpu.sh: asks the running program to exit as its menu's Exit does.
add_executable(post_exit ${PROJECT_SOURCE_DIR}/bench/post_exit.cpp)
target_compile_definitions(post_exit PRIVATE ${KELVARIN_WIN32_DEFS})
target_compile_options(post_exit PRIVATE ${KELVARIN_CHARSET_FLAGS} ${KELVARIN_WARNINGS} -O2)
target_link_libraries(post_exit PRIVATE user32)
target_link_options(post_exit PRIVATE -static -static-libgcc -static-libstdc++)
set_target_properties(post_exit PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)

# For bench/curinf_cpu.sh: the coordinate window's baseline, a window that only polls the
# pointer on a 10 ms timer.
add_executable(bare_poll WIN32 ${PROJECT_SOURCE_DIR}/bench/bare_poll.cpp)
target_compile_definitions(bare_poll PRIVATE ${KELVARIN_WIN32_DEFS})
target_compile_options(bare_poll PRIVATE ${KELVARIN_CHARSET_FLAGS} ${KELVARIN_WARNINGS} -O2)
target_link_libraries(bare_poll PRIVATE user32 gdi32)
target_link_options(bare_poll PRIVATE -static -static-libgcc -static-libstdc++ -s)
set_target_properties(bare_poll PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)

# Opening the resolution menu against the main menu, in-process over the product's code;
# the resource script supplies menu 127.
add_executable(resolution_menu_bench_win32 ${PROJECT_SOURCE_DIR}/bench/resolution_menu_bench_win32.cpp
                                           ${KELVARIN_RESOURCE})
target_compile_options(resolution_menu_bench_win32 PRIVATE ${KELVARIN_CHARSET_FLAGS} ${KELVARIN_WARNINGS} -O2)
target_include_directories(resolution_menu_bench_win32 PRIVATE ${CMAKE_BINARY_DIR}/generated)
target_link_libraries(resolution_menu_bench_win32 PRIVATE kelvarin_core)
target_link_options(resolution_menu_bench_win32 PRIVATE -static -static-libgcc -static-libstdc++)
set_target_properties(resolution_menu_bench_win32 PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)

# Objects and memory of the running program after 1,000 openings of each tray menu; the
# object count loads its probe DLL from beside the bench.
add_executable(menu_objects_bench_win32 ${PROJECT_SOURCE_DIR}/bench/menu_objects_bench_win32.cpp)
target_compile_options(menu_objects_bench_win32 PRIVATE ${KELVARIN_CHARSET_FLAGS} ${KELVARIN_WARNINGS} -O2)
target_link_libraries(menu_objects_bench_win32 PRIVATE e2e_support)
target_link_options(menu_objects_bench_win32 PRIVATE -static -static-libgcc -static-libstdc++)
set_target_properties(menu_objects_bench_win32 PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
add_dependencies(menu_objects_bench_win32 Kelvarin object_probe)
add_custom_command(TARGET menu_objects_bench_win32 POST_BUILD
                   COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:object_probe> ${CMAKE_BINARY_DIR}/bench/)

# The tool windows: the magnifier's paint in this process, and 1,000 openings and
# closings of each tool in Kelvarin.exe with its object counts.
add_executable(tools_bench_win32 ${PROJECT_SOURCE_DIR}/bench/tools_bench_win32.cpp)
target_compile_options(tools_bench_win32 PRIVATE ${KELVARIN_CHARSET_FLAGS} ${KELVARIN_WARNINGS} -O2)
target_link_libraries(tools_bench_win32 PRIVATE e2e_support)
target_link_options(tools_bench_win32 PRIVATE -static -static-libgcc -static-libstdc++)
set_target_properties(tools_bench_win32 PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
add_dependencies(tools_bench_win32 Kelvarin object_probe)
# The object count loads its probe from the folder of the program that counts.
add_custom_command(TARGET tools_bench_win32 POST_BUILD COMMAND ${CMAKE_COMMAND} -E
                   copy_if_different $<TARGET_FILE:object_probe> ${CMAKE_BINARY_DIR}/bench/)

# Capture figures for bench/capture.sh (named so that bench.sh does not run it bare).
add_executable(capture_timing ${PROJECT_SOURCE_DIR}/bench/capture_timing.cpp)
target_compile_options(capture_timing PRIVATE ${KELVARIN_CHARSET_FLAGS} ${KELVARIN_WARNINGS} -O2)
target_link_libraries(capture_timing PRIVATE e2e_support)
target_link_options(capture_timing PRIVATE -static -static-libgcc -static-libstdc++)
set_target_properties(capture_timing PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
add_dependencies(capture_timing Kelvarin object_probe dwmapi_standin)
# Object counts load the probe DLL from the counting program's own folder.
add_custom_command(TARGET capture_timing POST_BUILD COMMAND ${CMAKE_COMMAND} -E copy_if_different
                   $<TARGET_FILE:object_probe> ${CMAKE_BINARY_DIR}/bench/)

# The dialogs: command to shown, and objects after 1,000 openings, against a baseline that
# runs the same templates with a procedure that does nothing; the object count's probe
# must sit beside the program that counts.
add_executable(dialog_baseline WIN32 ${PROJECT_SOURCE_DIR}/bench/dialog_baseline.cpp ${KELVARIN_RESOURCE})
target_compile_definitions(dialog_baseline PRIVATE ${KELVARIN_WIN32_DEFS})
target_compile_options(dialog_baseline PRIVATE ${KELVARIN_CHARSET_FLAGS} ${KELVARIN_WARNINGS} -O2)
target_include_directories(dialog_baseline PRIVATE ${PROJECT_SOURCE_DIR}/res ${CMAKE_BINARY_DIR}/generated)
target_link_libraries(dialog_baseline PRIVATE comctl32 user32)
target_link_options(dialog_baseline PRIVATE -static -static-libgcc -static-libstdc++)
set_target_properties(dialog_baseline PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
add_executable(dialogs_bench_win32 ${PROJECT_SOURCE_DIR}/bench/dialogs_bench_win32.cpp)
target_compile_options(dialogs_bench_win32 PRIVATE ${KELVARIN_CHARSET_FLAGS} ${KELVARIN_WARNINGS} -O2)
target_link_libraries(dialogs_bench_win32 PRIVATE e2e_support)
target_link_options(dialogs_bench_win32 PRIVATE -static -static-libgcc -static-libstdc++)
set_target_properties(dialogs_bench_win32 PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
add_dependencies(dialogs_bench_win32 Kelvarin object_probe dialog_baseline)
add_custom_command(TARGET dialogs_bench_win32 POST_BUILD COMMAND ${CMAKE_COMMAND} -E copy_if_different
                   $<TARGET_FILE:object_probe> ${CMAKE_BINARY_DIR}/bench/)

# For the About box's soak step: what loading version.dll 1,000 times costs a bare program.
add_executable(version_growth ${PROJECT_SOURCE_DIR}/bench/version_growth.cpp)
target_compile_options(version_growth PRIVATE ${KELVARIN_WARNINGS} -O2)
target_link_libraries(version_growth PRIVATE e2e_support)
target_link_options(version_growth PRIVATE -static -static-libgcc -static-libstdc++)
set_target_properties(version_growth PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
