#include "platform/resources.h"

#include "embedded_resources.h"

namespace platform {

std::optional<Resource> findResource(ResourceType type, int id) {
    for (std::size_t i = 0; i < embedded::tableSize; ++i) {
        const embedded::Entry& entry = embedded::table[i];
        if (entry.type == type && entry.id == id) return Resource{entry.bytes, *entry.size};
    }
    return std::nullopt;
}

} // namespace platform
