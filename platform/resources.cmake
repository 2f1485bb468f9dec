# hopla_resources: findResource over the resources compiled in by resources/CMakeLists.txt.
add_library(hopla_resources ${CMAKE_CURRENT_LIST_DIR}/resources.cpp)
target_link_libraries(hopla_resources PUBLIC hopla_resource_data)
