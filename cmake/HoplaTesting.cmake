# Helpers that turn test sources into CTest tests and fuzz targets into tests or libFuzzer binaries.
include(GoogleTest)

# hopla_add_test(NAME SOURCES src... LIBS lib... [WEB_FILTER pattern]): one GoogleTest
# executable, its tests in CTest. In the web build it runs under node, and WEB_FILTER keeps only
# the tests that need nothing node lacks (child processes, named pipes).
function(hopla_add_test name)
    cmake_parse_arguments(ARG "" "WEB_FILTER" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main)
    set(filter "*")
    if(EMSCRIPTEN)
        hopla_node_program(${name})
        if(ARG_WEB_FILTER)
            set(filter "${ARG_WEB_FILTER}")
        endif()
    endif()
    # Tests never make a sound; tests that open a window choose their video driver themselves.
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 30 TEST_FILTER "${filter}"
                         PROPERTIES ENVIRONMENT SDL_AUDIODRIVER=dummy)
endfunction()

# libFuzzer steers by the coverage of the code it feeds, so with HOPLA_FUZZ everything is built
# with its coverage counters (and linked with their runtime); only the fuzz targets below link
# libFuzzer itself.
if(HOPLA_FUZZ)
    add_compile_options(-fsanitize=fuzzer-no-link)
    add_link_options(-fsanitize=fuzzer-no-link)
endif()

# hopla_add_fuzz_target(NAME SOURCES src... LIBS lib...): a LLVMFuzzerTestOneInput target.
# With HOPLA_FUZZ it is a libFuzzer binary; otherwise a test that feeds it a fixed series of
# pseudo-random inputs, so every build exercises the target.
function(hopla_add_fuzz_target name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    if(HOPLA_FUZZ)
        add_executable(${name} ${ARG_SOURCES})
        target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
        target_link_options(${name} PRIVATE -fsanitize=fuzzer)
        target_link_libraries(${name} PRIVATE ${ARG_LIBS})
    else()
        add_executable(${name} ${ARG_SOURCES} ${CMAKE_SOURCE_DIR}/tests/fuzz/replay_main.cpp)
        target_link_libraries(${name} PRIVATE ${ARG_LIBS})
        if(EMSCRIPTEN)
            hopla_node_program(${name})
        endif()
        add_test(NAME ${name} COMMAND ${name} 20000)
    endif()
endfunction()
