# Build conventions shared by every directory.
#
# One source tree, six kinds of build directory (see the root Makefile):
#   win32   MinGW-w64 i686: kelvado.exe, the card emulator DLL, test-only Win32 programs
#   win64   MinGW-w64 x86_64: the same programs as 64-bit twins, for machines that cannot start
#           32-bit programs (a test vehicle; the product is the i686 build)
#   asan    native, AddressSanitizer + UndefinedBehaviorSanitizer: the native tests
#   tsan    native, ThreadSanitizer: the native tests that run more than one thread
#   fuzz    native with clang: the libFuzzer targets
#   native  native: libraries, tests, tools; its CTest also runs the tests of the other four
#
# A source file named *_win32.cpp includes Win32 headers and is compiled only into Win32 targets;
# a file named *_native.cpp implements a platform seam with the standard library and is compiled
# only natively, and a *_native.h header declares what exists only there (the handlers tools and
# tests set). Everything else is portable and goes into both. A portable header that copies a
# Win32 value has a *_win32.cpp that checks the copy against the system's headers.

set(KELVADO_IS_WIN32 ${WIN32})

set(KELVADO_IS_CLANG OFF)
set(KELVADO_IS_TSAN OFF)
if(KELVADO_SANITIZE MATCHES "thread")
  set(KELVADO_IS_TSAN ON)
endif()
if(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  set(KELVADO_IS_CLANG ON)
endif()

# A test that finds it cannot run here (no sound server, say) exits with KELVADO_SKIP_CODE, and
# CTest reports it as skipped, never as passed. A missing program or binary is a failure, not a
# skip. GoogleTest programs skip with GTEST_SKIP() (tests/gtest_main.cpp turns a run with skipped
# tests and no failure into this code); Python tests with skip(reason) of tests/e2e/e2e.py or by
# exiting with the code. Register tests with add_test and give them their properties with
# kelvado_test_properties, which adds SKIP_RETURN_CODE; a test without it that tries to skip
# fails instead.
set(KELVADO_SKIP_CODE 77)

# kelvado_test_properties(test... PROPERTIES name value...): set_tests_properties, plus the skip code.
# A value that is a list (ENVIRONMENT) goes to set_tests_properties of its own.
function(kelvado_test_properties)
  set_tests_properties(${ARGN} SKIP_RETURN_CODE ${KELVADO_SKIP_CODE})
endfunction()

# Narrow literals become Shift-JIS bytes. Clang only knows UTF-8 as execution character set, so
# the fuzz build keeps UTF-8 literals; fuzzers never compare message bytes.
function(kelvado_compile_flags target)
  target_compile_features(${target} PRIVATE cxx_std_17)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
  if(NOT KELVADO_IS_CLANG)
    target_compile_options(${target} PRIVATE -finput-charset=UTF-8 -fexec-charset=CP932)
  endif()
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR}
                             ${PROJECT_BINARY_DIR}/generated)
  if(KELVADO_IS_WIN32)
    # Headers declare only what Windows 95 (4.0) and 98 (4.10) offer.
    target_compile_definitions(${target} PRIVATE
      WINVER=0x0400 _WIN32_WINDOWS=0x0410 _WIN32_WINNT=0x0400 _WIN32_IE=0x0400)
    # The same sources build the i686 program and its x86_64 twin: a pointer squeezed into a
    # narrower integer, or an integer of another width turned into a pointer, stops both builds.
    target_compile_options(${target} PRIVATE -Werror=int-to-pointer-cast
      $<$<COMPILE_LANGUAGE:C>:-Werror=pointer-to-int-cast>)
  endif()
endfunction()

# The plain native build makes the installed and packaged tools, which read untrusted images and
# run as root to write devices: their libraries and programs are hardened as Debian builds its
# packages (checked buffer functions where the optimiser can, stack protection, relocations
# read-only from the start). Not the sanitized or fuzz builds, nor the test programs.
function(kelvado_hardening target)
  if(KELVADO_IS_WIN32 OR KELVADO_FUZZ OR KELVADO_SANITIZE)
    return()
  endif()
  target_compile_options(${target} PRIVATE -fstack-protector-strong
    $<$<NOT:$<CONFIG:Debug>>:-U_FORTIFY_SOURCE> $<$<NOT:$<CONFIG:Debug>>:-D_FORTIFY_SOURCE=2>)
  get_target_property(kind ${target} TYPE)
  if(kind STREQUAL "EXECUTABLE")
    target_link_options(${target} PRIVATE -Wl,-z,relro -Wl,-z,now)
  endif()
endfunction()

function(kelvado_filter_sources out)
  set(kept "")
  foreach(src IN LISTS ARGN)
    if(src MATCHES "_win32\\.(cpp|h|rc)$" AND NOT KELVADO_IS_WIN32)
      continue()
    endif()
    if(src MATCHES "_native\\.(cpp|h)$" AND KELVADO_IS_WIN32)
      continue()
    endif()
    list(APPEND kept ${src})
  endforeach()
  set(${out} ${kept} PARENT_SCOPE)
endfunction()

# kelvado_library(name SOURCES ... [LIBS ...]): a static library of the program.
function(kelvado_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  kelvado_filter_sources(srcs ${ARG_SOURCES})
  add_library(${name} STATIC ${srcs})
  kelvado_compile_flags(${name})
  kelvado_hardening(${name})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  if(ARG_LIBS)
    target_link_libraries(${name} PUBLIC ${ARG_LIBS})
  endif()
endfunction()

# kelvado_win32_program(name SOURCES ... [LIBS ...] [CONSOLE]): a Win32 executable (Win32 build only).
function(kelvado_win32_program name)
  cmake_parse_arguments(ARG "CONSOLE" "" "SOURCES;LIBS" ${ARGN})
  if(NOT KELVADO_IS_WIN32)
    return()
  endif()
  add_executable(${name} ${ARG_SOURCES})
  kelvado_compile_flags(${name})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  if(ARG_CONSOLE)
    target_link_options(${name} PRIVATE -Wl,--subsystem,console:4.0)
  else()
    target_link_options(${name} PRIVATE -mwindows -Wl,--subsystem,windows:4.0)
  endif()
  kelvado_win32_finish(${name})
endfunction()

# Stripped Win32 binaries: debug sections removed, the header flag that would announce an external
# PDB cleared again.
function(kelvado_win32_finish name)
  find_package(Python3 REQUIRED COMPONENTS Interpreter)
  add_custom_command(TARGET ${name} POST_BUILD
    COMMAND ${CMAKE_STRIP} --strip-debug $<TARGET_FILE:${name}>
    COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/cmake/pe-clear-debug-stripped.py
            $<TARGET_FILE:${name}>
    VERBATIM)
endfunction()

# kelvado_native_program(name SOURCES ... [LIBS ...]): a native tool (not built for Win32 or fuzzing).
function(kelvado_native_program name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  if(KELVADO_IS_WIN32 OR KELVADO_FUZZ)
    return()
  endif()
  add_executable(${name} ${ARG_SOURCES})
  kelvado_compile_flags(${name})
  kelvado_hardening(${name})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
endfunction()

# kelvado_test(name SOURCES ... [LIBS ...] [THREADS]): a GoogleTest program, registered with
# CTest. When KELVADO_ASAN_DIR names a sanitized build of the same tree, its copy of the program
# is registered too, as asan.<name>. THREADS marks a program whose tests run more than one
# thread: the ThreadSanitizer build builds only these, and when KELVADO_TSAN_DIR names that build
# its copy is registered as tsan.<name>.
function(kelvado_test name)
  cmake_parse_arguments(ARG "THREADS" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  if(KELVADO_IS_WIN32 OR KELVADO_FUZZ)
    return()
  endif()
  if(KELVADO_IS_TSAN AND NOT ARG_THREADS)
    return()
  endif()
  add_executable(${name} ${ARG_SOURCES} ${PROJECT_SOURCE_DIR}/tests/gtest_main.cpp)
  kelvado_compile_flags(${name})
  target_compile_definitions(${name} PRIVATE KELVADO_SKIP_CODE=${KELVADO_SKIP_CODE})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest)
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  add_test(NAME ${name} COMMAND ${name})
  kelvado_test_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT} LABELS native)
  if(KELVADO_ASAN_DIR)
    add_test(NAME asan.${name} COMMAND ${KELVADO_ASAN_DIR}/bin/${name})
    kelvado_test_properties(asan.${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT} LABELS asan)
  endif()
  if(KELVADO_TSAN_DIR AND ARG_THREADS)
    add_test(NAME tsan.${name} COMMAND ${KELVADO_TSAN_DIR}/bin/${name})
    kelvado_test_properties(tsan.${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT} LABELS tsan
      ENVIRONMENT "TSAN_OPTIONS=halt_on_error=1 second_deadlock_stack=1")
  endif()
endfunction()

# kelvado_fuzzer(name SOURCES ... [LIBS ...] [CORPUS dir]): a libFuzzer target.
#   fuzz build:    the libFuzzer executable; KELVADO_FUZZ_SECONDS of it run as test fuzz.<name>
#                  from the native build when KELVADO_FUZZ_DIR is set.
#   native build:  the same entry point with a small driver that replays the corpus, as a test
#                  (replay.<name>), so the target also compiles and runs under gcc and the sanitizers.
function(kelvado_fuzzer name)
  cmake_parse_arguments(ARG "" "CORPUS" "SOURCES;LIBS" ${ARGN})
  if(KELVADO_IS_WIN32)
    return()
  endif()
  if(KELVADO_FUZZ)
    add_executable(${name} ${ARG_SOURCES})
    kelvado_compile_flags(${name})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS})
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    return()
  endif()
  if(KELVADO_IS_TSAN)
    return()
  endif()
  add_executable(${name}_replay ${ARG_SOURCES} ${PROJECT_SOURCE_DIR}/tests/fuzz_replay_main.cpp)
  kelvado_compile_flags(${name}_replay)
  target_link_libraries(${name}_replay PRIVATE ${ARG_LIBS})
  add_test(NAME replay.${name} COMMAND ${name}_replay ${ARG_CORPUS})
  kelvado_test_properties(replay.${name} PROPERTIES TIMEOUT 120 LABELS native)
  if(KELVADO_ASAN_DIR)
    add_test(NAME asan.replay.${name} COMMAND ${KELVADO_ASAN_DIR}/bin/${name}_replay ${ARG_CORPUS})
    kelvado_test_properties(asan.replay.${name} PROPERTIES TIMEOUT 120 LABELS asan)
  endif()
  if(KELVADO_FUZZ_DIR)
    set(work ${CMAKE_BINARY_DIR}/fuzz-corpus/${name})
    file(MAKE_DIRECTORY ${work})
    add_test(NAME fuzz.${name}
      COMMAND ${KELVADO_FUZZ_DIR}/bin/${name} -max_total_time=${KELVADO_FUZZ_SECONDS}
              -print_final_stats=1 ${work} ${ARG_CORPUS})
    kelvado_test_properties(fuzz.${name} PROPERTIES
      TIMEOUT 600 LABELS fuzz ENVIRONMENT "UBSAN_OPTIONS=halt_on_error=1")
  endif()
endfunction()
