# Helpers shared by the folders' CMakeLists.txt files.

# kv_library(NAME DIR <dir> [SOURCES files...] [LIBS libs...])
# A static library of every .cpp/.h/.ui in <dir> (not recursive) unless SOURCES is given.
function(kv_library name)
  cmake_parse_arguments(A "" "DIR" "SOURCES;LIBS;EXCLUDE" ${ARGN})
  if(NOT A_SOURCES)
    file(GLOB A_SOURCES CONFIGURE_DEPENDS
         ${A_DIR}/*.cpp ${A_DIR}/*.h ${A_DIR}/*.c)
    foreach(ex IN LISTS A_EXCLUDE)
      list(FILTER A_SOURCES EXCLUDE REGEX "${ex}")
    endforeach()
  endif()
  add_library(${name} STATIC ${A_SOURCES})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${A_LIBS})
endfunction()

# kv_test(NAME DIR <dir> LIBS libs...)
# One GoogleTest program from every *_test.cpp in <dir>, each test its own CTest test
# with a timeout. The shared main gives every test process its own HOME and XDG folders, the
# sanitizer options and KORVANTA_SOURCE_DIR / KORVANTA_BUILD_DIR.
function(kv_test name)
  cmake_parse_arguments(A "" "DIR;TIMEOUT" "LIBS;SOURCES" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${A_DIR}/*_test.cpp ${A_DIR}/*.h)
  list(APPEND srcs ${A_SOURCES})
  if(NOT A_TIMEOUT)
    set(A_TIMEOUT 120)
  endif()
  add_executable(${name} ${srcs})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_link_libraries(${name} PRIVATE kv_test_support ${A_LIBS} GTest::gtest GTest::gmock)
  gtest_discover_tests(${name}
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/tests
    DISCOVERY_TIMEOUT 60
    PROPERTIES TIMEOUT ${A_TIMEOUT})
endfunction()

# kv_fuzz(NAME SOURCE <file> LIBS libs...)
# In the fuzz tree (clang, KORVANTA_FUZZ) a libFuzzer program; in the test tree a program
# built with the replay driver that feeds it every file of tests/fuzz/corpus/<NAME>/.
function(kv_fuzz name)
  cmake_parse_arguments(A "" "SOURCE" "LIBS" ${ARGN})
  if(KORVANTA_FUZZ)
    add_executable(fuzz_${name} ${A_SOURCE})
    target_link_libraries(fuzz_${name} PRIVATE ${A_LIBS})
    target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
    set_target_properties(fuzz_${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
  else()
    add_executable(replay_${name} ${A_SOURCE} ${CMAKE_SOURCE_DIR}/tests/fuzz/replay_main.cpp)
    target_link_libraries(replay_${name} PRIVATE ${A_LIBS})
    target_include_directories(replay_${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
    # The replay main brings the sanitizer defaults of the test tree.
    target_compile_definitions(replay_${name} PRIVATE KV_FUZZ_REPLAY)
    set_target_properties(replay_${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    add_test(NAME fuzz_replay.${name}
             COMMAND replay_${name} ${CMAKE_SOURCE_DIR}/tests/fuzz/corpus/${name})
    set_tests_properties(fuzz_replay.${name} PROPERTIES TIMEOUT 300)
  endif()
endfunction()
