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

function(kv_settings target)
  target_compile_options(${target} PRIVATE ${KV_WARNINGS})
  if(DEFINED ENV{CI} OR KV_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# kv_library(name SOURCES ... LIBS ...)
function(kv_library name)
  cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${A_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${A_LIBS})
  kv_settings(${name})
endfunction()

# kv_test(name SOURCES ... LIBS ... [GUI]) : one GoogleTest executable, registered with CTest.
function(kv_test name)
  cmake_parse_arguments(A "GUI" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  target_link_libraries(${name} PRIVATE ${A_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  kv_settings(${name})
  set(labels nongui)
  set(env "KORVANE_LOOPBACK_ONLY=1")
  if(A_GUI)
    set(labels gui)
    list(APPEND env "QT_QPA_PLATFORM=offscreen")
  endif()
  # A list would be split into separate properties; keep both variables in one ENVIRONMENT value.
  string(REPLACE ";" "\\;" env "${env}")
  include(GoogleTest)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES LABELS "${labels}" ENVIRONMENT "${env}"
                       TIMEOUT 300)
endfunction()
