# Cross build: Kelvarin.exe and the Win32 test executables.
enable_language(RC)

# Windows 95 / NT 4 interfaces; the few newer constants are defined where used.
set(KELVARIN_WIN32_DEFS __USE_MINGW_ANSI_STDIO=0 WINVER=0x0400 _WIN32_WINNT=0x0400 _WIN32_IE=0x0400 WIN32_LEAN_AND_MEAN STRICT)

set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 65001")
set(CMAKE_RC_COMPILE_OBJECT
    "<CMAKE_RC_COMPILER> <DEFINES> <INCLUDES> <FLAGS> -O coff -i <SOURCE> -o <OBJECT>")

# The product's code generation. The 32-bit exe runs on every PC Windows 95 runs on, so
# its instructions are the 80386's (the compiler's default, the Pentium Pro, has cmov,
# which a 486, Pentium or K6 faults on); it keeps no unwind tables, which x86 does not use.
# On x64 the system unwinds through the tables in .pdata/.xdata, which must stay.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(KELVARIN_CODEGEN_FLAGS)
else()
  set(KELVARIN_CODEGEN_FLAGS -march=i386 -fno-asynchronous-unwind-tables)
endif()

# The program's own code: compiled once with the product's flags, linked into the exe
# and into the Win32 tests.
add_library(kelvarin_core STATIC ${KELVARIN_PURE_SOURCES} ${KELVARIN_WIN32_SOURCES})
target_include_directories(kelvarin_core PUBLIC ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/res)
target_compile_definitions(kelvarin_core PUBLIC ${KELVARIN_WIN32_DEFS})
target_compile_options(kelvarin_core PRIVATE ${KELVARIN_CHARSET_FLAGS} ${KELVARIN_WARNINGS}
  -Os -fno-exceptions -fno-rtti ${KELVARIN_CODEGEN_FLAGS} -ffunction-sections -fdata-sections)
target_link_libraries(kelvarin_core PUBLIC shell32 comctl32 gdi32 user32 advapi32 version kernel32)

add_executable(Kelvarin WIN32 ${KELVARIN_MAIN_SOURCE} ${KELVARIN_RESOURCE})
target_compile_options(Kelvarin PRIVATE ${KELVARIN_CHARSET_FLAGS} ${KELVARIN_WARNINGS}
  -Os -fno-exceptions -fno-rtti ${KELVARIN_CODEGEN_FLAGS})
target_link_libraries(Kelvarin PRIVATE kelvarin_core gcc)
# No C runtime at all: the program's own start-up (crt.cpp) is the entry point, the system's
# DLLs and libgcc's helpers (stack probes, 64-bit division) are all it links. Stripped,
# unused sections dropped. The tests keep their C runtime.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(KELVARIN_ENTRY WinMainCRTStartup)
else()
  set(KELVARIN_ENTRY _WinMainCRTStartup)  # cdecl names carry an underscore on x86
endif()
target_link_options(Kelvarin PRIVATE -nostdlib -Wl,-e,${KELVARIN_ENTRY} -s -Wl,--gc-sections)
# Its memory routines must not be compiled back into calls to themselves.
set_source_files_properties(src/app/crt.cpp PROPERTIES COMPILE_OPTIONS
  "-ffreestanding;-fno-builtin;-fno-tree-loop-distribute-patterns")
set_target_properties(Kelvarin PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
# The manifest carries the fixed version from version.h, the one place it is written.
file(STRINGS ${PROJECT_SOURCE_DIR}/res/version.h KELVARIN_VERSION_LINE REGEX "KELVARIN_VERSION_FIXED")
string(REGEX MATCH "([0-9]+), *([0-9]+), *([0-9]+), *([0-9]+)" _ "${KELVARIN_VERSION_LINE}")
set(KELVARIN_MANIFEST_VERSION "${CMAKE_MATCH_1}.${CMAKE_MATCH_2}.${CMAKE_MATCH_3}.${CMAKE_MATCH_4}")
# Windows refuses to start a program whose manifest names another processor.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(KELVARIN_MANIFEST_ARCH amd64)
else()
  set(KELVARIN_MANIFEST_ARCH x86)
endif()
configure_file(${PROJECT_SOURCE_DIR}/res/Kelvarin.manifest.in ${CMAKE_BINARY_DIR}/generated/Kelvarin.manifest @ONLY)
target_include_directories(Kelvarin PRIVATE ${CMAKE_BINARY_DIR}/generated)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/res/version.h)
set_source_files_properties(${KELVARIN_RESOURCE} PROPERTIES OBJECT_DEPENDS
  "${CMAKE_BINARY_DIR}/generated/Kelvarin.manifest;${PROJECT_SOURCE_DIR}/res/version.h;${PROJECT_SOURCE_DIR}/res/resource.h;${PROJECT_SOURCE_DIR}/res/Kelvarin.ico;${PROJECT_SOURCE_DIR}/res/hand.cur")

# GoogleTest for Windows, built from the Debian source package inside this build. Where
# there is none (a plain Windows build of the product), the tests are left out.
set(GTEST_SRC /usr/src/googletest/googletest CACHE PATH "GoogleTest sources")
if(NOT EXISTS ${GTEST_SRC}/src/gtest-all.cc)
  message(STATUS "GoogleTest sources not found: building the product only")
  return()
endif()
add_library(gtest_win32 STATIC ${GTEST_SRC}/src/gtest-all.cc)
target_include_directories(gtest_win32 PUBLIC ${GTEST_SRC}/include PRIVATE ${GTEST_SRC})
target_compile_options(gtest_win32 PRIVATE -w)

function(kelvarin_win32_test name)
  add_executable(${name} ${ARGN})
  target_compile_options(${name} PRIVATE ${KELVARIN_CHARSET_FLAGS} -Wall -Wextra -Werror)
  target_link_libraries(${name} PRIVATE kelvarin_core gtest_win32)
  target_link_options(${name} PRIVATE -static -static-libgcc -static-libstdc++)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
endfunction()

include(${PROJECT_SOURCE_DIR}/tests/wine/Tests.cmake)
include(${PROJECT_SOURCE_DIR}/tests/e2e/Tests.cmake)
include(${PROJECT_SOURCE_DIR}/bench/Win32Bench.cmake OPTIONAL)
