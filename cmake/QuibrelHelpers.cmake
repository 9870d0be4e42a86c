# quibrel_library(NAME DEPENDS dep...): a static library of every .cpp in the calling folder.
function(quibrel_library name)
  cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp")
  file(GLOB headers CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.h")
  add_library(${name} STATIC ${sources} ${headers})
  target_include_directories(${name} PUBLIC "${PROJECT_SOURCE_DIR}/src")
  target_link_libraries(${name} PUBLIC ${ARG_DEPENDS})
endfunction()

# quibrel_executable(NAME SOURCES ... DEPENDS ...): a program placed in the program folder.
function(quibrel_executable name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPENDS})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${QUIBREL_PROGRAM_DIR}")
  target_compile_definitions(${name} PRIVATE QUIBREL_VERSION="${PROJECT_VERSION}")
endfunction()

# quibrel_test(NAME DEPENDS dep...): one GoogleTest program of every .cpp in the calling folder.
# Tests find the built program folder (template base, language packs) through QUIBREL_BUILT_PROGRAM_DIR.
function(quibrel_test name)
  cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp")
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE ${ARG_DEPENDS} quibrel_testsupport GTest::gtest GTest::gmock)
  target_compile_definitions(${name} PRIVATE
    QUIBREL_BUILT_PROGRAM_DIR="${QUIBREL_PROGRAM_DIR}"
    QUIBREL_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  add_dependencies(${name} quibrel_program_folder)
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QT_LOGGING_RULES=qt.qpa.*=false"
               TIMEOUT 120)
endfunction()

# quibrel_fuzz_target(NAME SOURCE file DEPENDS dep...): a libFuzzer program (clang, -DQUIBREL_FUZZ=ON).
# Run it as build/<dir>/fuzz/NAME -max_total_time=600 CORPUS_DIR.
function(quibrel_fuzz_target name)
  cmake_parse_arguments(ARG "" "SOURCE" "DEPENDS" ${ARGN})
  add_executable(${name} ${ARG_SOURCE})
  target_link_libraries(${name} PRIVATE ${ARG_DEPENDS})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/fuzz")
endfunction()

# quibrel_benchmark(NAME SOURCES ... DEPENDS ...): a Google Benchmark program, run by hand.
function(quibrel_benchmark name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPENDS} benchmark::benchmark)
  target_compile_definitions(${name} PRIVATE QUIBREL_BUILT_PROGRAM_DIR="${QUIBREL_PROGRAM_DIR}")
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/bench")
endfunction()
