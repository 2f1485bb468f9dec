# The page: build-web/site/ holds index.html, hopla.js, hopla.wasm and favicon.png, a static
# folder that any web server can host. Included by shell/ in the web build.
set(hopla_site ${CMAKE_BINARY_DIR}/site)

add_executable(hopla main_web.cpp)
target_link_libraries(hopla PRIVATE hopla_shell hopla_platform_web)
set_target_properties(hopla PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${hopla_site})
target_link_options(hopla PRIVATE -sENVIRONMENT=web)

# The page itself is written by hand: copied, never minified.
add_custom_command(OUTPUT ${hopla_site}/index.html
                   COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/web/index.html
                           ${hopla_site}/index.html
                   DEPENDS ${CMAKE_SOURCE_DIR}/web/index.html
                   VERBATIM)

# The favicon is the game's window icon, written by the desktop build's hopla-icon-png: a tool
# of the build machine, not something to run in a browser.
set(HOPLA_NATIVE_TOOLS ${CMAKE_SOURCE_DIR}/build/bin CACHE PATH
    "Where the desktop build keeps hopla-icon-png (./web.sh builds it)")
add_custom_command(OUTPUT ${hopla_site}/favicon.png
                   COMMAND ${HOPLA_NATIVE_TOOLS}/hopla-icon-png ${hopla_site}/favicon.png
                   DEPENDS ${HOPLA_NATIVE_TOOLS}/hopla-icon-png
                   COMMENT "Writing the page's favicon from the game's icon"
                   VERBATIM)
add_custom_target(hopla_site ALL DEPENDS hopla ${hopla_site}/index.html ${hopla_site}/favicon.png)
