// The pictures, sounds and icon compiled into the executable, found by type and id as a
// Windows program finds its resources. Bitmaps begin with their 40-byte info header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace platform {

enum class ResourceType { Bitmap, Wave, Icon };

struct Resource {
    const std::uint8_t* bytes;
    std::size_t size;
};

// The resource of that type and id, or nothing. The icon "HOPLA_ICON" has id 1.
std::optional<Resource> findResource(ResourceType type, int id);

constexpr int hoplaIconId = 1;

} // namespace platform
