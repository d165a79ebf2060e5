# Shared helpers for the project's CMakeLists files.

# darvello_add_test(<name> SOURCES <files...> LIBS <targets...> [X_DISPLAY])
# One GoogleTest executable; its tests are registered with ctest one by one.
# X_DISPLAY: some of them move the pointer and type on the test command's X
# server (tests/support/testDisplay.h), so they take turns with the others
# that do.
function(darvello_add_test name)
  cmake_parse_arguments(T "X_DISPLAY" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  set(properties TIMEOUT 900)
  if(T_X_DISPLAY)
    list(APPEND properties RESOURCE_LOCK test_x_display)
  endif()
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 120 PROPERTIES ${properties})
endfunction()

# darvello_add_fuzzer(<name> SOURCES <files...> LIBS <targets...> [CORPUS <dirs...>])
# With DARVELLO_FUZZ (clang) this is a libFuzzer binary and ctest runs it for
# DARVELLO_FUZZ_SECONDS; otherwise it is built with a small driver that replays
# the files given on its command line, so the target keeps compiling everywhere.
function(darvello_add_fuzzer name)
  cmake_parse_arguments(F "" "" "SOURCES;LIBS;CORPUS" ${ARGN})
  if(DARVELLO_FUZZ)
    add_executable(${name} ${F_SOURCES})
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_libraries(${name} PRIVATE ${F_LIBS})
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
    set(workdir ${CMAKE_CURRENT_BINARY_DIR}/${name}-corpus)
    file(MAKE_DIRECTORY ${workdir})
    set(seed_dirs ${workdir})
    if(F_CORPUS)
      list(APPEND seed_dirs ${F_CORPUS})
    endif()
    add_test(NAME fuzz.${name}
             COMMAND ${name} -max_total_time=${DARVELLO_FUZZ_SECONDS} -timeout=10
                     -rss_limit_mb=2048 -print_final_stats=1 ${seed_dirs})
    set_tests_properties(fuzz.${name} PROPERTIES TIMEOUT 600 LABELS fuzz)
  else()
    add_executable(${name} ${F_SOURCES} ${PROJECT_SOURCE_DIR}/fuzz/replay_main.cpp)
    target_link_libraries(${name} PRIVATE ${F_LIBS})
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  endif()
endfunction()

# darvello_embed(<target> <symbol> <file> [NAMESPACE <ns>])
# Compiles <file> into <target> as <ns>::<symbol> (k1data by default) with the
# accessors <ns>::getData_<symbol>() and <ns>::getDataSize_<symbol>().
function(darvello_embed target symbol file)
  cmake_parse_arguments(E "" "NAMESPACE" "" ${ARGN})
  if(NOT E_NAMESPACE)
    set(E_NAMESPACE k1data)
  endif()
  set(out ${CMAKE_CURRENT_BINARY_DIR}/embed_${symbol}.cpp)
  add_custom_command(OUTPUT ${out}
    COMMAND darvello_embed ${symbol} ${file} ${out} ${E_NAMESPACE}
    DEPENDS darvello_embed ${file}
    COMMENT "Embedding ${symbol}"
    VERBATIM)
  target_sources(${target} PRIVATE ${out})
endfunction()

# darvello_add_subfolders()
# Adds every sub-folder of the current folder that has a CMakeLists.txt (one
# tool, test program, benchmark or fuzz target each), in name order, so that a
# new unit needs no change to its parent.
function(darvello_add_subfolders)
  file(GLOB children LIST_DIRECTORIES true RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/*)
  list(SORT children)
  foreach(child ${children})
    if(IS_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/${child} AND EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${child}/CMakeLists.txt)
      add_subdirectory(${child})
    endif()
  endforeach()
endfunction()
