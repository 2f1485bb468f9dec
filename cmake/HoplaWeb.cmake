# The web build with Debian's emscripten: configured by
#     emcmake cmake -S . -B build-web -DCMAKE_CROSSCOMPILING_EMULATOR="node;--no-experimental-fetch"
# (./web.sh does it). Everything is built offline: no SDL, no libpng and no emscripten ports,
# which would download their sources. Programs that are not the page (the unit tests,
# hopla-render) run under node and see the real file system.

set(HOPLA_BENCH OFF CACHE BOOL "Build the benchmarks" FORCE)

# node 20 refuses the fetch() that this emscripten's output defines unless told not to offer
# its own; the emulator set here wins over the bare node that emcmake passes.
find_program(HOPLA_NODE NAMES node nodejs REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${HOPLA_NODE} --no-experimental-fetch)

# The optimising link runs emscripten's JavaScript tools, which need acorn from Debian's
# node modules; the installed node does not look there by itself.
set(CMAKE_CXX_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs)
set(CMAKE_C_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs)

add_link_options(-sALLOW_MEMORY_GROWTH=1)
# WebAssembly SIMD128, which every current browser and node runs: the span kernels have a
# SIMD128 version, and the compiler vectorises other loops with it. Every engine with SIMD128
# also has bulk memory, which makes each copy of a row one instruction. Off, the build runs
# where SIMD128 is missing.
option(HOPLA_WEB_SIMD "Build the web page and its tests for WebAssembly SIMD128" ON)
if(HOPLA_WEB_SIMD)
    add_compile_options(-msimd128 -mbulk-memory)
endif()

# hopla_node_program(TARGET): a program run under node, with the host's files (shots, golden
# frames, temporary folders) and its exit status passed on, HOPLA_PORTABLE_KERNELS from node's
# environment, and stb_image to read PNGs.
function(hopla_node_program target)
    set(environment ${CMAKE_SOURCE_DIR}/cmake/node_environment.js)
    target_link_options(${target} PRIVATE -sNODERAWFS=1 -sEXIT_RUNTIME=1 -sENVIRONMENT=node
                                          -sSTB_IMAGE=1 "SHELL:--pre-js ${environment}")
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${environment})
endfunction()

# GoogleTest from Debian's sources, compiled for WebAssembly without threads.
set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(HOPLA_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest's sources (Debian: googletest)")
if(NOT EXISTS ${HOPLA_GTEST_SOURCE}/CMakeLists.txt)
    message(FATAL_ERROR "GoogleTest's sources are missing from ${HOPLA_GTEST_SOURCE} "
                        "(Debian package googletest)")
endif()
add_subdirectory(${HOPLA_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
target_compile_options(gtest PRIVATE -w)
target_compile_options(gtest_main PRIVATE -w)
