# Native benchmarks. The catalogue logic is compiled into the bench itself at -O2: the
# kelvarin_pure library is built for the sanitizer tests and would time the sanitizers.
add_executable(catalogue_bench ${PROJECT_SOURCE_DIR}/bench/catalogue_bench.cpp
                               ${PROJECT_SOURCE_DIR}/src/display/mode_catalogue.cpp
                               ${PROJECT_SOURCE_DIR}/src/base/text.cpp)
target_include_directories(catalogue_bench PRIVATE ${PROJECT_SOURCE_DIR}/src)
target_compile_options(catalogue_bench PRIVATE ${KELVARIN_CHARSET_FLAGS} ${KELVARIN_WARNINGS} -O2)
set_target_properties(catalogue_bench PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
