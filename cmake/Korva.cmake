# Shared flags and the two helpers every folder uses: korva_library and korva_test.

option(KORVA_UNITY "Compile each target's files in batches (see korva_unity_batches)" OFF)

add_library(korva_flags INTERFACE)
target_compile_options(korva_flags INTERFACE
  # -pthread everywhere (the UI's libraries ask for it), so that every file of the build sees the
  # same macros and can use the same precompiled headers.
  -pthread
  -Wall -Wextra -Werror -ffp-contract=off
  # GCC 12 reports false -Wrestrict errors on std::string concatenation at -O3.
  $<$<CXX_COMPILER_ID:GNU>:-Wno-restrict>
  # GCC collects its own garbage from a heap of 128 MB on, many times over in a unity batch; from
  # 1 GB on, a batch compiles in about a tenth less processor time (to the same code) and peaks
  # at about 1.4 GB instead of 1.0.
  $<$<CXX_COMPILER_ID:GNU>:--param=ggc-min-heapsize=1048576>
  # With the precompiled headers it also reports false string overflows and array bounds in
  # optimised builds (std::string concatenation inlined from the standard library).
  $<$<AND:$<CXX_COMPILER_ID:GNU>,$<NOT:$<CONFIG:Debug>>>:-Wno-stringop-overflow$<SEMICOLON>-Wno-array-bounds>
  # Line tables are enough for symbolised sanitizer reports and keep the test binaries small.
  # Debug builds optimise only the folders that crunch pixels and samples (see korva_optimise);
  # the rest compiles unoptimised, which takes well under two thirds of the time.
  $<$<CONFIG:Debug>:-g1 $<IF:$<BOOL:$<TARGET_PROPERTY:KORVA_OPTIMISE>>,-O1,-O0>>
  # In a unity batch every member but the first is an included file, for which GCC reports the
  # types of a test's anonymous namespace that its fixtures and cases use.
  $<$<AND:$<CXX_COMPILER_ID:GNU>,$<BOOL:${KORVA_UNITY}>>:-Wno-subobject-linkage>
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

# Linking: mold links a sanitized test binary in about a quarter of the processor time of the
# default linker (the binaries are large: the sanitizers' data of every file), and a build links
# two dozen of them.
include(CheckLinkerFlag)
check_linker_flag(CXX -fuse-ld=mold KORVA_HAVE_MOLD)
if(KORVA_HAVE_MOLD)
  target_link_options(korva_flags INTERFACE -fuse-ld=mold)
endif()

find_package(PkgConfig REQUIRED)
find_package(Threads REQUIRED)

# Folders (and their test folders) whose code is mostly pixel and sample arithmetic: a debug build
# still optimises them, or their tests would run several times slower under the sanitizers.
set(KORVA_OPTIMISED_FOLDERS platform/image platform/capture platform/media filter capture)

# The test binaries compile their own files unoptimised even in those folders (the code under test
# keeps its folder's level): a sanitized test batch compiles in about half the time at -O0, and
# their cases run as fast within a second or two, except the image engine's, whose reference
# loops in the test files run two to three times slower unoptimised.
set(KORVA_OPTIMISED_TESTS test_platform_image)

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
  set_property(GLOBAL APPEND PROPERTY KORVA_TARGETS ${name})
endfunction()

# Precompiled headers: nine tenths of what a file compiles is the standard library's headers, and
# parsing them once per kind of target instead of once per file takes about a quarter off a
# library file's compilation (an eighth off a test's). The platform's own headers add nothing
# measurable on top and would hide their warnings, so they stay out. Every target of a few files
# or more reuses one of four precompiled sets (library or test, optimised or not), so that the
# build keeps four large precompiled files, not one per target. ccache keeps their compilation
# too, with the sloppiness its launcher sets; -DCMAKE_DISABLE_PRECOMPILE_HEADERS=ON builds
# without them, which shows a file that does not include all it uses.
set(KORVA_PCH_HEADERS <algorithm> <array> <atomic> <chrono> <cmath> <condition_variable> <cstdint>
  <cstring> <deque> <filesystem> <functional> <map> <memory> <mutex> <optional> <set> <string>
  <string_view> <thread> <unordered_map> <utility> <variant> <vector>)
set(KORVA_PCH_MIN_SOURCES 4)
# The same headers as one file, which the fuzz check precompiles for clang.
list(TRANSFORM KORVA_PCH_HEADERS PREPEND "#include " OUTPUT_VARIABLE KORVA_PCH_INCLUDES)
list(JOIN KORVA_PCH_INCLUDES "\n" KORVA_PCH_INCLUDES)
file(CONFIGURE OUTPUT ${PROJECT_BINARY_DIR}/generated/korva_pch_headers.hxx
  CONTENT "// The standard headers every target precompiles.\n${KORVA_PCH_INCLUDES}\n")

function(korva_pch_holder name optimise test)
  # The precompiled headers belong to a target's C++ files, so the holder has one, empty.
  set(source ${PROJECT_BINARY_DIR}/generated/${name}.cpp)
  file(CONFIGURE OUTPUT ${source} CONTENT "// Holds the precompiled headers other targets reuse.\n")
  add_library(${name} OBJECT ${source})
  target_link_libraries(${name} PRIVATE korva_flags)
  set(headers ${KORVA_PCH_HEADERS})
  if(test)
    target_link_libraries(${name} PRIVATE GTest::gtest)
    list(APPEND headers <gtest/gtest.h>)
  endif()
  set_target_properties(${name} PROPERTIES KORVA_OPTIMISE ${optimise})
  target_precompile_headers(${name} PRIVATE ${headers})
endfunction()

# Called once all folders are added.
function(korva_precompile_headers)
  get_property(targets GLOBAL PROPERTY KORVA_TARGETS)
  foreach(t ${targets})
    get_target_property(sources ${t} SOURCES)
    get_target_property(dir ${t} SOURCE_DIR)
    list(FILTER sources INCLUDE REGEX "\\.cpp$")
    list(LENGTH sources count)
    if(count LESS KORVA_PCH_MIN_SOURCES)
      continue()
    endif()
    # A file with options of its own (an optimisation level) cannot use the shared headers.
    foreach(source ${sources})
      cmake_path(ABSOLUTE_PATH source BASE_DIRECTORY ${dir})
      get_source_file_property(options ${source} DIRECTORY ${dir} COMPILE_OPTIONS)
      if(options)
        set_source_files_properties(${source} DIRECTORY ${dir} PROPERTIES SKIP_PRECOMPILE_HEADERS ON)
      endif()
    endforeach()
    get_target_property(test ${t} KORVA_TEST)
    get_target_property(optimise ${t} KORVA_OPTIMISE)
    set(holder korva_pch)
    if(test)
      string(APPEND holder _test)
    endif()
    if(optimise)
      string(APPEND holder _optimised)
    endif()
    if(NOT TARGET ${holder})
      korva_pch_holder(${holder} "${optimise}" "${test}")
    endif()
    target_precompile_headers(${t} REUSE_FROM ${holder})
  endforeach()
endfunction()

# korva_test(NAME SOURCES a_test.cpp DEPS korva_x): one GoogleTest binary. scripts/run_tests.py
# runs its cases in a few processes (tests/suites.tsv lists the binaries); CTest knows each binary
# as one test that runs it through the same script.
function(korva_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES} ${PROJECT_SOURCE_DIR}/tests/support/leak_suppressions.cpp)
  target_link_libraries(${name} PRIVATE korva_flags ${ARG_DEPS} GTest::gtest GTest::gtest_main Threads::Threads)
  # Not position independent: a third smaller, and it starts without millions of relocations.
  target_link_options(${name} PRIVATE -no-pie)
  if(name IN_LIST KORVA_OPTIMISED_TESTS)
    set_target_properties(${name} PROPERTIES KORVA_OPTIMISE ON)
  endif()
  set_target_properties(${name} PROPERTIES KORVA_TEST ON)
  set_property(GLOBAL APPEND PROPERTY KORVA_TARGETS ${name})
  set_property(GLOBAL APPEND PROPERTY KORVA_TEST_SUITES
    "${name}\t$<TARGET_FILE:${name}>\t${CMAKE_CURRENT_BINARY_DIR}\n")
  add_test(NAME ${name} COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/scripts/run_tests.py
    ${PROJECT_BINARY_DIR} --suite ${name} -j 1)
  set_tests_properties(${name} PROPERTIES LABELS suite)
endfunction()

# Unity batches (-DKORVA_UNITY=ON, as CI builds): each target's files compile KORVA_UNITY_BATCH at
# a time, as one file that includes them. Most of an unoptimised sanitized file's compilation is
# the standard library's and the test framework's templates, instantiated and instrumented again
# in every file; a batch does that once, and its object links once. The batch files include their
# members by paths relative to the source root (not CMake's own unity build, which writes absolute
# paths), so that a clone elsewhere still builds from the compiler cache. A file that compiles with
# options of its own, or that cannot share a batch (SKIP_UNITY_BUILD_INCLUSION), compiles alone.
# A file that leans on a header an earlier member of its batch included is still caught: by the
# fuzz check, which compiles the fuzz targets' library files one by one, and by any build without
# KORVA_UNITY (the default), for every file.
set(KORVA_UNITY_BATCH 8 CACHE STRING "Files per unity batch")

# Files that cannot share a batch with the files beside them (the header of an outside library that
# clashes with another's, names of their own in the global namespace), by path from the source root.
include(${CMAKE_CURRENT_LIST_DIR}/unity_alone.cmake)

# Called once all folders are added, after korva_precompile_headers.
function(korva_unity_batches)
  if(NOT KORVA_UNITY)
    return()
  endif()
  get_property(targets GLOBAL PROPERTY KORVA_TARGETS)
  foreach(t ${targets})
    get_target_property(sources ${t} SOURCES)
    get_target_property(dir ${t} SOURCE_DIR)
    set(kept)
    set(batch)
    set(batches)
    foreach(source ${sources})
      cmake_path(ABSOLUTE_PATH source BASE_DIRECTORY ${dir} OUTPUT_VARIABLE path)
      cmake_path(IS_PREFIX PROJECT_SOURCE_DIR "${path}" NORMALIZE inside)
      get_source_file_property(options ${path} DIRECTORY ${dir} COMPILE_OPTIONS)
      get_source_file_property(skip ${path} DIRECTORY ${dir} SKIP_UNITY_BUILD_INCLUSION)
      cmake_path(RELATIVE_PATH path BASE_DIRECTORY ${PROJECT_SOURCE_DIR} OUTPUT_VARIABLE relative)
      if(relative IN_LIST KORVA_UNITY_ALONE)
        set(skip ON)
      endif()
      if(NOT path MATCHES "\\.cpp$" OR NOT inside OR options OR skip)
        list(APPEND kept ${source})
        continue()
      endif()
      string(APPEND batch "#include \"${relative}\"\n")
      list(APPEND batch_members ${relative})
      list(LENGTH batch_members count)
      if(count EQUAL KORVA_UNITY_BATCH)
        list(APPEND batches "${batch}")
        set(batch)
        set(batch_members)
      endif()
    endforeach()
    if(batch)
      list(APPEND batches "${batch}")
    endif()
    set(batch_members)
    set(index 0)
    foreach(batch IN LISTS batches)
      set(file ${PROJECT_BINARY_DIR}/unity/${t}_${index}.cpp)
      # Rewritten only when its members change, so an unchanged batch does not compile again.
      file(CONFIGURE OUTPUT ${file} CONTENT "// Generated: one unity batch of ${t}.\n${batch}")
      list(APPEND kept ${file})
      math(EXPR index "${index} + 1")
    endforeach()
    set_property(TARGET ${t} PROPERTY SOURCES ${kept})
  endforeach()
endfunction()
