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

# The Win32 tiers: executables from a cross build, run under Wine in a private desktop,
# once for each build the host can run (scripts/arches.sh decides): the 32-bit product's
# tests keep their plain names, the x64 build's are named wine.x64.*, e2e.x64.*.
set(KELVARIN_WINE_ARCHES "x86" CACHE STRING "builds whose Wine tiers run: x86, x64 or both")
set(KELVARIN_PRODUCT_DIR "${PROJECT_SOURCE_DIR}/build/win32")
set(WINE_ENV ${PROJECT_SOURCE_DIR}/scripts/wine-env.sh)

# name: CTest name; exe: path under the cross build; remaining: arguments
function(kelvarin_wine_test name exe)
  add_test(NAME ${name} COMMAND sh ${WINE_ENV} exec ${KELVARIN_WINE_STATE} ${KELVARIN_WIN32_DIR}/${exe} ${ARGN})
  set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED ${KELVARIN_FIXTURE} RUN_SERIAL TRUE TIMEOUT 600)
endfunction()

# The audits that only read the 32-bit exe run once: in the first pass, against it.
set(KELVARIN_AUDITS_DONE FALSE)
foreach(KELVARIN_ARCH ${KELVARIN_WINE_ARCHES})
  if(KELVARIN_ARCH STREQUAL "x86")
    set(KELVARIN_WIN32_DIR "${KELVARIN_PRODUCT_DIR}")
    set(KELVARIN_WINE_STATE "${PROJECT_SOURCE_DIR}/build/wine")
    set(KELVARIN_TAG "")
  elseif(KELVARIN_ARCH STREQUAL "x64")
    set(KELVARIN_WIN32_DIR "${PROJECT_SOURCE_DIR}/build/win64")
    set(KELVARIN_WINE_STATE "${PROJECT_SOURCE_DIR}/build/wine64")
    set(KELVARIN_TAG "x64.")
  else()
    message(FATAL_ERROR "KELVARIN_WINE_ARCHES: unknown build '${KELVARIN_ARCH}'")
  endif()
  set(KELVARIN_FIXTURE wine${KELVARIN_TAG})
  add_test(NAME wine.${KELVARIN_TAG}setup COMMAND sh ${WINE_ENV} start ${KELVARIN_WINE_STATE} ${KELVARIN_ARCH})
  add_test(NAME wine.${KELVARIN_TAG}teardown COMMAND sh ${WINE_ENV} stop ${KELVARIN_WINE_STATE})
  set_tests_properties(wine.${KELVARIN_TAG}setup PROPERTIES FIXTURES_SETUP ${KELVARIN_FIXTURE} LABELS wine)
  set_tests_properties(wine.${KELVARIN_TAG}teardown PROPERTIES FIXTURES_CLEANUP ${KELVARIN_FIXTURE} LABELS wine)
  include(${PROJECT_SOURCE_DIR}/tests/wine/Register.cmake)
  include(${PROJECT_SOURCE_DIR}/tests/e2e/Register.cmake)
  set(KELVARIN_AUDITS_DONE TRUE)
endforeach()

# The release package (`make dist`), built from the cross build's exe into a scratch folder.
add_test(NAME native.dist_package COMMAND python3 ${PROJECT_SOURCE_DIR}/tests/native/dist_package_test.py
         ${PROJECT_SOURCE_DIR} ${KELVARIN_PRODUCT_DIR}/Kelvarin.exe)
set_tests_properties(native.dist_package PROPERTIES LABELS native)
include(${PROJECT_SOURCE_DIR}/bench/NativeBench.cmake)

# The source folders' includes all point down: base, features, app.
add_test(NAME native.layering COMMAND python3 ${PROJECT_SOURCE_DIR}/tests/layering_check.py ${PROJECT_SOURCE_DIR}/src)
set_tests_properties(native.layering PROPERTIES LABELS native)

# The 32-bit exe's instructions, disassembled: nothing newer than the 80386.
find_program(KELVARIN_OBJDUMP32 i686-w64-mingw32-objdump REQUIRED)
add_test(NAME native.instructions COMMAND python3 ${PROJECT_SOURCE_DIR}/tests/instruction_check.py
         ${KELVARIN_OBJDUMP32} ${KELVARIN_PRODUCT_DIR}/Kelvarin.exe)
set_tests_properties(native.instructions PROPERTIES LABELS native)

# The manifest compiled into the exe, parsed as XML.
add_test(NAME native.manifest COMMAND python3 ${PROJECT_SOURCE_DIR}/tests/manifest_check.py
         ${KELVARIN_PRODUCT_DIR}/generated/Kelvarin.manifest ${PROJECT_SOURCE_DIR}/res/version.h)
set_tests_properties(native.manifest PROPERTIES LABELS native)
if("x64" IN_LIST KELVARIN_WINE_ARCHES)
  add_test(NAME native.manifest_x64 COMMAND python3 ${PROJECT_SOURCE_DIR}/tests/manifest_check.py
           ${PROJECT_SOURCE_DIR}/build/win64/generated/Kelvarin.manifest ${PROJECT_SOURCE_DIR}/res/version.h amd64)
  set_tests_properties(native.manifest_x64 PROPERTIES LABELS native)
  # The system unwinds through an x64 program's frames by the tables in .pdata and .xdata.
  find_program(KELVARIN_OBJDUMP64 x86_64-w64-mingw32-objdump REQUIRED)
  add_test(NAME native.unwind_x64 COMMAND sh ${PROJECT_SOURCE_DIR}/tests/unwind_check.sh
           ${KELVARIN_OBJDUMP64} ${PROJECT_SOURCE_DIR}/build/win64/Kelvarin.exe)
  set_tests_properties(native.unwind_x64 PROPERTIES LABELS native)
endif()
