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

# The favicon is the game's 32-pixel icon, which hopla-artgen (a native tool) draws into
# resources/ beside the window's icon.
add_custom_command(OUTPUT ${hopla_site}/favicon.png
                   COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/resources/hopla_icon_32.png
                           ${hopla_site}/favicon.png
                   DEPENDS ${CMAKE_SOURCE_DIR}/resources/hopla_icon_32.png
                   VERBATIM)
add_custom_target(hopla_site ALL DEPENDS hopla ${hopla_site}/index.html ${hopla_site}/favicon.png)
