# The sound device on SDL2 and SDL2_mixer, behind the platform's sound interface.
if(NOT EMSCRIPTEN)
    add_library(hopla_platform_sound ${CMAKE_CURRENT_LIST_DIR}/sound_sdl.cpp)
    target_link_libraries(hopla_platform_sound PUBLIC PkgConfig::SDL2 PkgConfig::SDL2_MIXER)
endif()
