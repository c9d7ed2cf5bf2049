# Common settings of the project's own targets: warnings on, none tolerated in our code.
set(KV_WARNINGS -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wold-style-cast
    -Wcast-align -Woverloaded-virtual -Wnull-dereference -Wformat=2)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  list(APPEND KV_WARNINGS -Wno-interference-size)
endif()

if(KV_SANITIZE)
  add_compile_options(-fsanitize=${KV_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${KV_SANITIZE})
endif()

# Extra compile options for the libraries only (not the test programs), e.g. -fsanitize=fuzzer-no-link
# in the fuzz build, so that a fuzz program's coverage reaches into the code it tests.
set(KV_LIBRARY_OPTIONS "" CACHE STRING "Compile and link options added to every kv_library target")

# Every header a target may include comes through an include folder under the build tree that holds
# symbolic links only: "#include "link/LCmd.h"" resolves only for targets that link the library owning
# link/LCmd.h. Nobody sees the project root, so an undeclared dependency fails to compile.
set(KV_INCLUDE_ROOT ${CMAKE_BINARY_DIR}/inc)

function(kv_link_into dir rel source)
  get_filename_component(parent ${dir}/${rel} DIRECTORY)
  file(MAKE_DIRECTORY ${parent})
  file(CREATE_LINK ${source} ${dir}/${rel} SYMBOLIC)
endfunction()

function(kv_settings target)
  target_compile_options(${target} PRIVATE ${KV_WARNINGS})
  if(DEFINED ENV{CI} OR KV_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# Unity builds: with KV_UNITY on (tools/test.sh turns it on), each of our targets compiles its sources
# in batches of KV_UNITY_BATCH files, one compiler run per batch, so the Qt and GoogleTest headers are
# parsed once per batch instead of once per file. Sources of one batch share one translation unit:
# file-local names (static functions, anonymous namespaces, macros) must not collide. Where they do:
#   - one file:   set_source_files_properties(File.cpp PROPERTIES SKIP_UNITY_BUILD_INCLUSION ON)
#   - one target: the NO_UNITY flag of kv_library, kv_test and kv_executable, or the target's name in
#                 KV_NO_UNITY.
option(KV_UNITY "Compile each target's sources in batches (unity build)" OFF)
set(KV_UNITY_BATCH 8 CACHE STRING "Sources per unity batch")
set(KV_NO_UNITY "" CACHE STRING "Targets compiled file by file even with KV_UNITY on")

function(kv_unity target no_unity)
  if(KV_UNITY AND NOT no_unity AND NOT target IN_LIST KV_NO_UNITY)
    set_target_properties(${target} PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE ${KV_UNITY_BATCH}
                                               UNITY_BUILD_MODE BATCH)
    # GCC takes every batched source for a header and warns about a class of one file that uses
    # another type of that file's anonymous namespace: a false alarm in a batch.
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
      target_compile_options(${target} PRIVATE -Wno-subobject-linkage)
    endif()
  endif()
endfunction()

# kv_library(name SOURCES ... LIBS ... [HEADERS ...] [NO_UNITY])
# The folder (relative to the project root) comes from where it is called. Without HEADERS the folder's
# headers are visible to the library's users, those of its subfolders too, except a subfolder whose
# CMakeLists.txt builds a library of its own (plot/editors/ under plot/: only kv_plot_editors' users see it); with HEADERS only
# those (file names in the folder), for folders that hold more than one library (link/: kv_proto and
# kv_link).
function(kv_library name)
  cmake_parse_arguments(A "NO_UNITY" "" "SOURCES;LIBS;HEADERS" ${ARGN})
  add_library(${name} STATIC ${A_SOURCES})
  kv_unity(${name} "${A_NO_UNITY}")
  file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  set(inc ${KV_INCLUDE_ROOT}/${name})
  file(REMOVE_RECURSE ${inc})
  if(A_HEADERS)
    foreach(header IN LISTS A_HEADERS)
      kv_link_into(${inc} ${folder}/${header} ${CMAKE_CURRENT_SOURCE_DIR}/${header})
    endforeach()
  else()
    file(GLOB_RECURSE headers CONFIGURE_DEPENDS RELATIVE ${CMAKE_CURRENT_SOURCE_DIR}
         ${CMAKE_CURRENT_SOURCE_DIR}/*.h ${CMAKE_CURRENT_SOURCE_DIR}/*.inc)
    foreach(header IN LISTS headers)
      get_filename_component(sub ${header} DIRECTORY)
      set(own TRUE)
      while(sub)
        set(lists ${CMAKE_CURRENT_SOURCE_DIR}/${sub}/CMakeLists.txt)
        if(EXISTS ${lists})
          file(STRINGS ${lists} builds REGEX "^[ \t]*kv_library\\(")
          if(builds)
            set(own FALSE)
            break()
          endif()
        endif()
        get_filename_component(sub ${sub} DIRECTORY)
      endwhile()
      if(own)
        kv_link_into(${inc} ${folder}/${header} ${CMAKE_CURRENT_SOURCE_DIR}/${header})
      endif()
    endforeach()
  endif()
  target_include_directories(${name} PUBLIC ${inc})
  target_link_libraries(${name} PUBLIC ${A_LIBS})
  if(KV_LIBRARY_OPTIONS)
    target_compile_options(${name} PRIVATE ${KV_LIBRARY_OPTIONS})
  endif()
  set_target_properties(${name} PROPERTIES KV_FOLDER ${folder})
  set_property(GLOBAL APPEND PROPERTY KV_LIBRARIES ${name})
  kv_settings(${name})
endfunction()

# Test programs, benchmarks and fuzz programs see tests/ (their fixtures, the simulated unit's headers)
# besides what they link; still not the product folders.
set(KV_TESTS_INCLUDE ${KV_INCLUDE_ROOT}/_tests)
kv_link_into(${KV_TESTS_INCLUDE} tests ${PROJECT_SOURCE_DIR}/tests)

function(kv_program_settings target)
  target_include_directories(${target} PRIVATE ${KV_TESTS_INCLUDE})
  kv_settings(${target})
endfunction()

# kv_test(name SOURCES ... LIBS ... [GUI] [THREADED] [NO_UNITY]) : one GoogleTest executable, registered
# with CTest: each test case as a CTest test of its own (named Suite.Case), or, with KV_TESTS_PER_PROGRAM
# on, the whole program as one CTest test (named after the program). CI does the latter: a process per
# case costs more than most cases (Qt, fonts and the sanitizers start up each time), and a failing case
# still shows by name in the program's output.
# GUI: runs on the offscreen platform. THREADED: runs worker threads; the ThreadSanitizer build runs
# exactly the tests with the "threaded" label. SHARDS n: with KV_TESTS_PER_PROGRAM, the program runs as
# n CTest tests (name.1 .. name.n), each a GoogleTest shard, side by side; for long programs whose tests
# share no address, port or file between processes.
option(KV_TESTS_PER_PROGRAM "One CTest test per test program instead of one per test case" OFF)
function(kv_test name)
  cmake_parse_arguments(A "GUI;THREADED;NO_UNITY" "SHARDS" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  kv_unity(${name} "${A_NO_UNITY}")
  target_link_libraries(${name} PRIVATE ${A_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  kv_program_settings(${name})
  set(labels nongui)
  set(env "KORVANE_LOOPBACK_ONLY=1")
  if(A_GUI)
    set(labels gui)
    list(APPEND env "QT_QPA_PLATFORM=offscreen")
  endif()
  if(A_THREADED)
    list(APPEND labels threaded)
    set_property(GLOBAL APPEND PROPERTY KV_THREADED_TESTS ${name})
  endif()
  # The font library keeps caches for the life of the process; LeakSanitizer is told about them
  # (tests/lsan.supp when there is one, else the one beside the test doubles).
  foreach(supp tests/lsan.supp tests/support/lsan.supp)
    if(EXISTS ${PROJECT_SOURCE_DIR}/${supp})
      list(APPEND env "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/${supp}")
      break()
    endif()
  endforeach()
  set_property(GLOBAL APPEND PROPERTY KV_TESTS ${name})
  if(KV_TESTS_PER_PROGRAM)
    if(A_SHARDS GREATER 1)
      math(EXPR last "${A_SHARDS} - 1")
      foreach(shard RANGE ${last})
        math(EXPR number "${shard} + 1")
        add_test(NAME ${name}.${number} COMMAND ${name})
        set_tests_properties(${name}.${number} PROPERTIES LABELS "${labels}" TIMEOUT 1800 ENVIRONMENT
                             "${env};GTEST_TOTAL_SHARDS=${A_SHARDS};GTEST_SHARD_INDEX=${shard}")
      endforeach()
    else()
      add_test(NAME ${name} COMMAND ${name})
      set_tests_properties(${name} PROPERTIES LABELS "${labels}" ENVIRONMENT "${env}" TIMEOUT 1800)
    endif()
    return()
  endif()
  include(GoogleTest)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 300)
  # Lists do not survive gtest_discover_tests' PROPERTIES (every element becomes a property name or
  # value of its own), so labels and environment are set by a file that CTest reads after the
  # discovered tests, on the list the discovery left in <name>_TESTS.
  set(props ${CMAKE_CURRENT_BINARY_DIR}/${name}_properties.cmake)
  file(WRITE ${props} "if(${name}_TESTS)\n  set_tests_properties(\${${name}_TESTS} PROPERTIES LABELS \"${labels}\" ENVIRONMENT \"${env}\")\nendif()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${props})
endfunction()

# Fails the configuration when `target` reaches any of the FORBID targets through its link libraries,
# directly or through other targets. Keeps the layering honest: the protocol library never grows a
# dependency on the network, the system layer or the GUI.
function(kv_collect_links target out)
  set(seen ${${out}})
  foreach(prop LINK_LIBRARIES INTERFACE_LINK_LIBRARIES)
    get_target_property(type ${target} TYPE)
    if(prop STREQUAL "LINK_LIBRARIES" AND type STREQUAL "INTERFACE_LIBRARY")
      continue()
    endif()
    get_target_property(libs ${target} ${prop})
    if(NOT libs)
      continue()
    endif()
    foreach(lib IN LISTS libs)
      # $<LINK_ONLY:x> wraps private dependencies of static libraries; other expressions do not name
      # our targets.
      string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" lib "${lib}")
      if(lib MATCHES "^\\$<" OR NOT TARGET ${lib})
        continue()
      endif()
      get_target_property(aliased ${lib} ALIASED_TARGET)
      if(aliased)
        set(lib ${aliased})
      endif()
      if(NOT lib IN_LIST seen)
        list(APPEND seen ${lib})
        kv_collect_links(${lib} seen)
      endif()
    endforeach()
  endforeach()
  set(${out} ${seen} PARENT_SCOPE)
endfunction()

function(kv_forbid_links target)
  cmake_parse_arguments(A "" "" "FORBID" ${ARGN})
  if(NOT TARGET ${target})
    return()
  endif()
  set(reached "")
  kv_collect_links(${target} reached)
  foreach(bad IN LISTS A_FORBID)
    if(TARGET ${bad})
      get_target_property(aliased ${bad} ALIASED_TARGET)
      if(aliased)
        set(bad ${aliased})
      endif()
    endif()
    if(bad IN_LIST reached)
      message(FATAL_ERROR "${target} must not link ${bad} (it links: ${reached})")
    endif()
  endforeach()
endfunction()

# kv_executable(name SOURCES ... LIBS ... [NO_UNITY]) : a program of the product (korvane-editor): its own folder's
# headers and those of the libraries it links, nothing else.
function(kv_executable name)
  cmake_parse_arguments(A "NO_UNITY" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  kv_unity(${name} "${A_NO_UNITY}")
  file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  set(inc ${KV_INCLUDE_ROOT}/${name})
  file(REMOVE_RECURSE ${inc})
  kv_link_into(${inc} ${folder} ${CMAKE_CURRENT_SOURCE_DIR})
  target_include_directories(${name} PRIVATE ${inc})
  target_link_libraries(${name} PRIVATE ${A_LIBS})
  kv_settings(${name})
endfunction()
