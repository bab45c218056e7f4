# Native build: OS-free logic under GoogleTest with AddressSanitizer and UBSan, and the
# CTest registration of every tier.
find_package(GTest REQUIRED)
enable_testing()

set(KELVARIN_SANITIZE -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)

add_library(kelvarin_pure STATIC ${KELVARIN_PURE_SOURCES})
target_include_directories(kelvarin_pure PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_compile_options(kelvarin_pure PRIVATE ${KELVARIN_CHARSET_FLAGS} ${KELVARIN_WARNINGS} -g -O1 ${KELVARIN_SANITIZE})
target_link_options(kelvarin_pure PUBLIC ${KELVARIN_SANITIZE})

function(kelvarin_native_test name)
  add_executable(${name} ${ARGN})
  target_compile_options(${name} PRIVATE ${KELVARIN_CHARSET_FLAGS} ${KELVARIN_WARNINGS} -g -O1 ${KELVARIN_SANITIZE})
  target_link_libraries(${name} PRIVATE kelvarin_pure GTest::gtest GTest::gtest_main)
  add_test(NAME native.${name} COMMAND ${name})
  set_tests_properties(native.${name} PROPERTIES LABELS native)
endfunction()

include(${PROJECT_SOURCE_DIR}/tests/native/Tests.cmake)

# The Win32 tiers: executables from the cross build, run under Wine in a private desktop.
set(KELVARIN_WIN32_DIR "${PROJECT_SOURCE_DIR}/build/win32" CACHE PATH "cross build directory")
set(KELVARIN_WINE_STATE "${PROJECT_SOURCE_DIR}/build/wine" CACHE PATH "private Wine prefix and X server state")
set(WINE_ENV ${PROJECT_SOURCE_DIR}/scripts/wine-env.sh)

add_test(NAME wine.setup COMMAND sh ${WINE_ENV} start ${KELVARIN_WINE_STATE})
add_test(NAME wine.teardown COMMAND sh ${WINE_ENV} stop ${KELVARIN_WINE_STATE})
set_tests_properties(wine.setup PROPERTIES FIXTURES_SETUP wine LABELS wine)
set_tests_properties(wine.teardown PROPERTIES FIXTURES_CLEANUP wine LABELS wine)

# name: CTest name; exe: path under the cross build; remaining: arguments
function(kelvarin_wine_test name exe)
  add_test(NAME ${name} COMMAND sh ${WINE_ENV} exec ${KELVARIN_WINE_STATE} ${KELVARIN_WIN32_DIR}/${exe} ${ARGN})
  set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine RUN_SERIAL TRUE TIMEOUT 600)
endfunction()

include(${PROJECT_SOURCE_DIR}/tests/wine/Register.cmake)
include(${PROJECT_SOURCE_DIR}/tests/e2e/Register.cmake)

# The release package (`make dist`), built from the cross build's exe into a scratch folder.
add_test(NAME native.dist_package COMMAND python3 ${PROJECT_SOURCE_DIR}/tests/native/dist_package_test.py
         ${PROJECT_SOURCE_DIR} ${KELVARIN_WIN32_DIR}/Kelvarin.exe)
set_tests_properties(native.dist_package PROPERTIES LABELS native)
include(${PROJECT_SOURCE_DIR}/bench/NativeBench.cmake)

# The manifest compiled into the exe, parsed as XML.
add_test(NAME native.manifest COMMAND python3 ${PROJECT_SOURCE_DIR}/tests/manifest_check.py
         ${KELVARIN_WIN32_DIR}/generated/Kelvarin.manifest ${PROJECT_SOURCE_DIR}/res/version.h)
set_tests_properties(native.manifest PROPERTIES LABELS native)
