# The page: build-web/site/ holds index.html, hopla.js, hopla.wasm, favicon.png, the web app
# manifest with its icons and the service worker, a static folder that any web server can
# host. Included by shell/ in the web build.
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

# The page and the service worker are written by hand, copied with the site's version (a hash
# of the files the worker keeps) written in; never minified.
add_custom_command(OUTPUT ${hopla_site}/index.html ${hopla_site}/service-worker.js
                   COMMAND ${CMAKE_COMMAND} -DSITE=${hopla_site} -DSOURCE=${CMAKE_SOURCE_DIR}/web
                           -P ${CMAKE_SOURCE_DIR}/web/stamp_site.cmake
                   DEPENDS hopla ${hopla_site}/favicon.png ${CMAKE_SOURCE_DIR}/web/index.html
                           ${CMAKE_SOURCE_DIR}/web/service-worker.js
                           ${CMAKE_SOURCE_DIR}/web/manifest.webmanifest
                           ${CMAKE_SOURCE_DIR}/web/stamp_site.cmake
                   VERBATIM)
add_custom_target(hopla_site ALL
                  DEPENDS hopla ${hopla_site}/index.html ${hopla_site}/service-worker.js
                          ${hopla_site}/favicon.png ${hopla_site_files})
