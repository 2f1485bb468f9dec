// Reuse of unchanged draws: most of the game's picture (the box, the frame, the numbers while
// they stay) is drawn exactly as in the previous frame. A draw made exactly as before, with the
// same vertices after transform and lighting, the same texels and the same shading states,
// shades the same colours, so those are kept and written again instead of shaded again.
#pragma once

#include "platform/softgpu/vertex_processing.h"

#include <cstdint>
#include <memory>
#include <type_traits>
#include <vector>

namespace softgpu {

// Everything besides the vertices that decides the colours a draw shades. The alpha test and
// blending are not part of it: they act on the shaded colours when these are written.
struct DrawSettings {
    std::uint64_t textureContent = 0; // IDirect3DTexture8::contentId, 0 for no texture
    std::uint32_t primitiveType = 0;
    std::uint32_t cullMode = 0;
    std::uint32_t stageStates[10] = {};
    std::int32_t shown[4] = {}; // the shown rectangle
    std::uint32_t bufferWidth = 0, bufferHeight = 0;

    bool operator==(const DrawSettings&) const = default;
};
static_assert(std::has_unique_object_representations_v<DrawSettings>,
              "hashed byte by byte, so no padding");

// A row's run of shaded colours: pixels x..x+count-1 of row y.
struct SavedRun {
    int y, x, count;
    std::uint32_t offset; // of its first colour in SavedDraw::colours
};

// What one draw shaded, before the alpha test and blending.
struct SavedDraw {
    std::uint64_t hash = 0;
    DrawSettings settings;
    std::vector<ClipVertex> vertices;
    std::vector<SavedRun> runs;
    std::vector<std::uint32_t> colours;
    std::uint64_t pixelsCovered = 0;
    std::uint64_t triangles = 0;
    bool opaque = true; // every colour has alpha 255
    bool madeThisFrame = true;

    // Keeps count colours for pixels x.. of row y, continuing the last run when it ends at x.
    void addRun(int y, int x, int count, const std::uint32_t* shaded);
};

class DrawCache {
public:
    // The hash that finds a draw's saved colours.
    static std::uint64_t hashOf(const DrawSettings& settings,
                                const std::vector<ClipVertex>& vertices);

    // The colours saved from a draw made exactly so, or null. A draw found or not is noted as
    // made in this frame.
    SavedDraw* find(std::uint64_t hash, const DrawSettings& settings,
                    const std::vector<ClipVertex>& vertices);
    // A place to save the colours of a draw not found, when the previous frame made it too; null
    // for a draw seen for the first time, which may well be one that changes every frame.
    SavedDraw* startSaving(std::uint64_t hash, const DrawSettings& settings,
                           const std::vector<ClipVertex>& vertices);
    // At Present: forgets what the frame just ended did not draw.
    void endFrame();
    void clear();

private:
    std::vector<std::unique_ptr<SavedDraw>> saved_;
    std::vector<std::uint64_t> seenThisFrame_;
    std::vector<std::uint64_t> seenLastFrame_;
};

} // namespace softgpu
