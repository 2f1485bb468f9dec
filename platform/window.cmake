# The game's window and message queue: the queue logic needs no SDL (the shell's tests drive it
# with a fake desktop), the desktop side is SDL's video.
add_library(hopla_platform_messages ${CMAKE_CURRENT_LIST_DIR}/window.cpp
                                    ${CMAKE_CURRENT_LIST_DIR}/window_scale.cpp)

pkg_check_modules(X11 REQUIRED IMPORTED_TARGET x11)
add_library(hopla_platform_window ${CMAKE_CURRENT_LIST_DIR}/window_sdl.cpp
                                  ${CMAKE_CURRENT_LIST_DIR}/x11_hints.cpp)
target_link_libraries(hopla_platform_window PUBLIC hopla_platform_messages hopla_platform_core hopla_resources
                      PRIVATE PkgConfig::SDL2 PkgConfig::X11)
