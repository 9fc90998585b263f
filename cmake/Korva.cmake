# Shared flags and the two helpers every folder uses: korva_library and korva_test.

add_library(korva_flags INTERFACE)
target_compile_options(korva_flags INTERFACE
  -Wall -Wextra -Werror -ffp-contract=off
  # GCC 12 reports false -Wrestrict errors on std::string concatenation at -O3.
  $<$<CXX_COMPILER_ID:GNU>:-Wno-restrict>
  # Line tables are enough for symbolised sanitizer reports and keep the test binaries small.
  # Debug builds optimise only the folders that crunch pixels and samples (see korva_optimise);
  # the rest compiles unoptimised, which takes well under two thirds of the time.
  $<$<CONFIG:Debug>:-g1 $<IF:$<BOOL:$<TARGET_PROPERTY:KORVA_OPTIMISE>>,-O1,-O0>>
  # Paths in debug information and __FILE__ are relative to the source root, so that a clone in
  # another folder compiles to the same objects (and hits the compiler cache).
  -ffile-prefix-map=${PROJECT_SOURCE_DIR}/=)
target_include_directories(korva_flags INTERFACE ${PROJECT_SOURCE_DIR})

# The source tree's resource folder, for the few places that fall back to it: compiled into one
# generated file of the runtime library, so that no other object carries an absolute path.
set(KORVA_SOURCE_RESOURCES_FOLDER ${PROJECT_SOURCE_DIR}/resources)
configure_file(${PROJECT_SOURCE_DIR}/cmake/source_resources.cpp.in
  ${PROJECT_BINARY_DIR}/generated/source_resources.cpp @ONLY)

if(KORVA_SANITIZE)
  target_compile_options(korva_flags INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_link_options(korva_flags INTERFACE -fsanitize=address,undefined)
endif()

# Fuzzing: every object carries libFuzzer's coverage hooks; only the targets link its main.
if(KORVA_FUZZ)
  target_compile_options(korva_flags INTERFACE
    -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_link_options(korva_flags INTERFACE -fsanitize=address,undefined)
endif()

find_package(PkgConfig REQUIRED)
find_package(Threads REQUIRED)

# Folders (and their test folders) whose code is mostly pixel and sample arithmetic: a debug build
# still optimises them, or their tests would run several times slower under the sanitizers.
set(KORVA_OPTIMISED_FOLDERS platform/image platform/capture platform/media filter capture)

# Marks a target of an optimised folder, from the folder it is declared in.
function(korva_optimise name)
  file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  string(REGEX REPLACE "^tests/" "" folder "${folder}")
  foreach(optimised ${KORVA_OPTIMISED_FOLDERS})
    if(folder STREQUAL optimised OR folder MATCHES "^${optimised}/")
      set_target_properties(${name} PROPERTIES KORVA_OPTIMISE ON)
    endif()
  endforeach()
endfunction()

# korva_library(NAME SOURCES a.cpp b.cpp DEPS korva_x PkgConfig::Y)
function(korva_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS;PRIVATE_DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_link_libraries(${name} PUBLIC korva_flags ${ARG_DEPS} PRIVATE ${ARG_PRIVATE_DEPS})
  korva_optimise(${name})
endfunction()

# korva_test(NAME SOURCES a_test.cpp DEPS korva_x): one GoogleTest binary. scripts/run_tests.py
# runs its cases in a few processes (tests/suites.tsv lists the binaries); CTest knows each binary
# as one test that runs it through the same script.
function(korva_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES} ${PROJECT_SOURCE_DIR}/tests/support/leak_suppressions.cpp)
  target_link_libraries(${name} PRIVATE korva_flags ${ARG_DEPS} GTest::gtest GTest::gtest_main Threads::Threads)
  korva_optimise(${name})
  set_property(GLOBAL APPEND PROPERTY KORVA_TEST_SUITES
    "${name}\t$<TARGET_FILE:${name}>\t${CMAKE_CURRENT_BINARY_DIR}\n")
  add_test(NAME ${name} COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/scripts/run_tests.py
    ${PROJECT_BINARY_DIR} --suite ${name} -j 1)
  set_tests_properties(${name} PROPERTIES LABELS suite)
endfunction()
