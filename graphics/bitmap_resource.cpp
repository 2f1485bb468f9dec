// Bitmaps by resource id, from the pictures compiled into the program.
#include "graphics/bitmap.h"
#include "platform/resources.h"

namespace graphics {

bool loadBitmap(BitmapImage& image, int resourceId) {
    const auto resource =
        platform::findResource(platform::ResourceType::Bitmap, resourceId & 0xFFFF);
    if (!resource) return loadBitmapBytes(image, nullptr, 0);
    return loadBitmapBytes(image, resource->bytes, resource->size);
}

} // namespace graphics
