# The silent sound device, which needs nothing of the platform.
add_library(hopla_platform_sound_null ${CMAKE_CURRENT_LIST_DIR}/sound_null.cpp)
