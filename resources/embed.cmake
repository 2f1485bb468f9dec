# Turns one resource file into a C++ source holding its bytes.
# cmake -DINPUT=<file> -DOUTPUT=<file.cpp> -DSYMBOL=<name> -DSKIP=<bytes> -DBITMAP=<ON|OFF> -P embed.cmake
# A bitmap must begin with its "BM" file header, which SKIP then drops.
file(SIZE "${INPUT}" size)
if(BITMAP)
    file(READ "${INPUT}" magic LIMIT 2 HEX)
    if(NOT magic STREQUAL "424d" OR size LESS_EQUAL SKIP)
        message(FATAL_ERROR "${INPUT}: not a BMP file")
    endif()
endif()
if(size LESS_EQUAL SKIP)
    message(FATAL_ERROR "${INPUT}: empty resource")
endif()
file(READ "${INPUT}" hex OFFSET ${SKIP} HEX)
# Sixteen bytes to a line, then each byte as a literal.
string(REPEAT "[0-9a-f]" 32 line)
string(REGEX REPLACE "(${line})" "\\1\n" hex "${hex}")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
get_filename_component(name "${INPUT}" NAME)
file(WRITE "${OUTPUT}.part"
"// Made by the build from resources/${name}; edit the resource, not this file.
#include <cstddef>
#include <cstdint>

namespace platform::embedded {
extern const std::uint8_t ${SYMBOL}[] = {
${bytes}};
extern const std::size_t ${SYMBOL}Size = sizeof(${SYMBOL});
} // namespace platform::embedded
")
file(RENAME "${OUTPUT}.part" "${OUTPUT}")
