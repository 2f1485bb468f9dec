#include "graphics/textures.h"

#include "graphics/math3d.h"

#include <memory>

namespace graphics {

using namespace softgpu;

TextureLayout makeTextureFromImage(TextureHolder& holder, IDirect3DDevice8* device,
                                   const BitmapImage& image, std::int32_t mode, int x, int y,
                                   int size) {
    const TextureLayout layout = textureLayout(image.info.biWidth, image.info.biHeight, x, y, size);
    const UINT edge = static_cast<UINT>(layout.edge);
    if (FAILED(device->CreateTexture(edge, edge, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED,
                                     &holder.pointer))) {
        // The holder stays empty and the picture is drawn as no texture.
        holder.pointer = nullptr;
        return layout;
    }
    D3DLOCKED_RECT locked{};
    if (SUCCEEDED(holder.pointer->LockRect(0, &locked, nullptr, 0))) {
        writeTexels(image, mode, layout, static_cast<std::uint8_t*>(locked.pBits), locked.Pitch);
        holder.pointer->UnlockRect(0);
    }
    return layout;
}

void makeTexture(TextureHolder& holder, IDirect3DDevice8* device, int resourceId, std::int32_t mode,
                 int x, int y, int size) {
    auto image = std::make_unique<BitmapImage>();
    // A picture that did not load reads as 0 x 0 and gives a blank 1 x 1 texture.
    loadBitmap(*image, resourceId);
    makeTextureFromImage(holder, device, *image, mode, x, y, size);
}

void loadDigits(DigitSet& digits, IDirect3DDevice8* device, std::int32_t mode, int x, int y,
                int size) {
    const std::int32_t digitMode = mode == Grey ? Grey : Colour;
    for (int d = 0; d < 10; ++d) {
        auto image = std::make_unique<BitmapImage>();
        loadBitmap(*image, firstDigitResource + d);
        const TextureLayout layout =
            makeTextureFromImage(digits.digitTextures[static_cast<std::size_t>(d)], device, *image,
                                 digitMode, x, y, size);
        // The first digit's layout serves for the rest, so all ten line up.
        size = layout.edge;
        x = layout.x;
        y = layout.y;
    }
    digits.digitPlacement = spritePlacement(8, 8, 0, 0, 96);
}

} // namespace graphics
