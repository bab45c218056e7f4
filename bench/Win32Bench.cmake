# Win32 benchmarks, run under Wine in the private session (scripts/wine-env.sh exec).
add_executable(catalogue_bench_win32 ${PROJECT_SOURCE_DIR}/bench/catalogue_bench_win32.cpp)
target_compile_options(catalogue_bench_win32 PRIVATE ${KELVARIN_CHARSET_FLAGS} ${KELVARIN_WARNINGS} -O2)
target_link_libraries(catalogue_bench_win32 PRIVATE kelvarin_core)
target_link_options(catalogue_bench_win32 PRIVATE -static -static-libgcc -static-libstdc++)
set_target_properties(catalogue_bench_win32 PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
