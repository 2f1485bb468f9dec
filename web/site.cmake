# The page: build-web/site/ holds index.html, the game built twice (hopla.js and hopla.wasm,
# hopla-nosimd.js and hopla-nosimd.wasm), favicon.png, the web app manifest with its icons and
# the service worker, a static folder that any web server can host. Included by shell/ in the
# web build.
set(hopla_site ${CMAKE_BINARY_DIR}/site)

add_executable(hopla main_web.cpp)
target_link_libraries(hopla PRIVATE hopla_shell hopla_platform_web)
set_target_properties(hopla PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${hopla_site})
target_link_options(hopla PRIVATE -sENVIRONMENT=web)

# Files published as they are: the manifest, and the icons that hopla-artgen (a native tool)
# draws into resources/: the favicon is the game's 32-pixel icon, the manifest's are 192 and
# 512 pixels and the one a phone crops to its own shape.
set(hopla_site_copies ${CMAKE_SOURCE_DIR}/web/manifest.webmanifest)
foreach(icon hopla_icon_192 hopla_icon_512 hopla_icon_maskable_512)
    list(APPEND hopla_site_copies ${CMAKE_SOURCE_DIR}/resources/${icon}.png)
endforeach()
set(hopla_site_files)
foreach(source IN LISTS hopla_site_copies)
    get_filename_component(name ${source} NAME)
    add_custom_command(OUTPUT ${hopla_site}/${name}
                       COMMAND ${CMAKE_COMMAND} -E copy ${source} ${hopla_site}/${name}
                       DEPENDS ${source}
                       VERBATIM)
    list(APPEND hopla_site_files ${hopla_site}/${name})
endforeach()
add_custom_command(OUTPUT ${hopla_site}/favicon.png
                   COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/resources/hopla_icon_32.png
                           ${hopla_site}/favicon.png
                   DEPENDS ${CMAKE_SOURCE_DIR}/resources/hopla_icon_32.png
                   VERBATIM)
# Browsers without WebAssembly SIMD128 get the game built without it, hopla-nosimd.js and .wasm
# beside hopla.js, which the page picks by a feature test. It is built in nosimd/, a build of
# its own with HOPLA_WEB_SIMD off, whose make shares this build's jobs.
if(HOPLA_WEB_SIMD)
    include(ExternalProject)
    set(hopla_nosimd ${CMAKE_BINARY_DIR}/nosimd)
    if(CMAKE_GENERATOR MATCHES "Make")
        set(hopla_nosimd_build $(MAKE) hopla)
    else()
        set(hopla_nosimd_build ${CMAKE_COMMAND} --build <BINARY_DIR> --target hopla)
    endif()
    ExternalProject_Add(hopla_nosimd
        SOURCE_DIR ${CMAKE_SOURCE_DIR}
        BINARY_DIR ${hopla_nosimd}
        CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${CMAKE_TOOLCHAIN_FILE}
                   -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE} -DHOPLA_WEB_SIMD=OFF
        BUILD_COMMAND ${hopla_nosimd_build}
        BUILD_ALWAYS ON
        INSTALL_COMMAND ${CMAKE_COMMAND} -E copy ${hopla_nosimd}/site/hopla-nosimd.js
                        ${hopla_nosimd}/site/hopla-nosimd.wasm ${hopla_site}
        BUILD_BYPRODUCTS ${hopla_site}/hopla-nosimd.js ${hopla_site}/hopla-nosimd.wasm)
    set(hopla_site_builds hopla hopla_nosimd)
else()
    set_target_properties(hopla PROPERTIES OUTPUT_NAME hopla-nosimd)
    set(hopla_site_builds hopla)
endif()

# The page and the service worker are written by hand, copied with the site's version (a hash
# of the files the worker keeps) written in; never minified.
add_custom_command(OUTPUT ${hopla_site}/index.html ${hopla_site}/service-worker.js
                   COMMAND ${CMAKE_COMMAND} -DSITE=${hopla_site} -DSOURCE=${CMAKE_SOURCE_DIR}/web
                           -P ${CMAKE_SOURCE_DIR}/web/stamp_site.cmake
                   DEPENDS ${hopla_site_builds} ${hopla_site}/favicon.png
                           ${CMAKE_SOURCE_DIR}/web/index.html
                           ${CMAKE_SOURCE_DIR}/web/service-worker.js
                           ${CMAKE_SOURCE_DIR}/web/manifest.webmanifest
                           ${CMAKE_SOURCE_DIR}/web/stamp_site.cmake
                   VERBATIM)
add_custom_target(hopla_site ALL
                  DEPENDS ${hopla_site_builds} ${hopla_site}/index.html
                          ${hopla_site}/service-worker.js ${hopla_site}/favicon.png
                          ${hopla_site_files})
