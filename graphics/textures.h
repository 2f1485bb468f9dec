// Square power-of-two textures made from the game's bitmaps, black made transparent, and the
// ten digit textures the scores are written with.
#pragma once

#include "game/types.h"
#include "graphics/bitmap.h"
#include "graphics/com_holder.h"
#include "platform/softgpu/softgpu.h"

#include <array>
#include <cstdint>

namespace graphics {

// The game's shared records.
using game::Material;
using game::Matrix4;
using game::Vec3;

using TextureHolder = ComHolder<softgpu::IDirect3DTexture8>;

// Makes the texture of bitmap resourceId into holder. A size that is a power of two gives the
// edge and the picture goes to column x, row y; any other size centres the picture in the
// smallest texture that holds it. A picture that does not load gives a blank 1 x 1 texture.
void makeTexture(TextureHolder& holder, softgpu::IDirect3DDevice8* device, int resourceId,
                 std::int32_t mode, int x, int y, int size);

// The same for a picture already loaded; returns the layout used (edge and clipped place).
TextureLayout makeTextureFromImage(TextureHolder& holder, softgpu::IDirect3DDevice8* device,
                                   const BitmapImage& image, std::int32_t mode, int x, int y,
                                   int size);

constexpr int firstDigitResource = 2021;

struct DigitSet {
    std::array<TextureHolder, 10> digitTextures; // entry d shows digit d
    Matrix4 digitPlacement{};                    // a 16 x 16 sprite on the back wall's plane, z 96
};

// Makes the ten digit textures from bitmaps 2021 to 2030. The first digit's edge and place
// serve for all ten; any mode but Grey converts as Colour. Sets digitPlacement.
void loadDigits(DigitSet& digits, softgpu::IDirect3DDevice8* device, std::int32_t mode, int x,
                int y, int size);

} // namespace graphics
