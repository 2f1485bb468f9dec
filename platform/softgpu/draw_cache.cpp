// The saved colours of recent draws, kept for one frame after they were last drawn.
#include "platform/softgpu/draw_cache.h"

#include <algorithm>
#include <cstring>

namespace softgpu {

namespace {

constexpr std::size_t maxDrawsNoted = 4096;

// Mixes the bytes in 8-byte words: a multiply and a rotation a word is plenty to tell the
// game's few dozen draws apart, and the full comparison settles any collision.
std::uint64_t mixBytes(std::uint64_t hash, const void* data, std::size_t size) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    std::size_t i = 0;
    for (; i + 8 <= size; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, bytes + i, 8);
        hash = ((hash ^ word) * 0x9E3779B97F4A7C15ull);
        hash ^= hash >> 29;
    }
    for (; i < size; ++i) hash = (hash ^ bytes[i]) * 0x100000001B3ull;
    return hash;
}

bool sameDraw(const SavedDraw& saved, std::uint64_t hash, const DrawSettings& settings,
              const std::vector<ClipVertex>& vertices) {
    return saved.hash == hash && saved.settings == settings &&
           saved.vertices.size() == vertices.size() &&
           std::memcmp(saved.vertices.data(), vertices.data(),
                       vertices.size() * sizeof(ClipVertex)) == 0;
}

} // namespace

void SavedDraw::addRun(int y, int x, int count, const std::uint32_t* shaded) {
    if (count <= 0) return;
    if (!runs.empty() && runs.back().y == y && runs.back().x + runs.back().count == x) {
        runs.back().count += count;
    } else {
        runs.push_back(SavedRun{y, x, count, static_cast<std::uint32_t>(colours.size())});
    }
    colours.insert(colours.end(), shaded, shaded + count);
    opaque = opaque && std::all_of(shaded, shaded + count,
                                   [](std::uint32_t colour) { return colour >> 24 == 0xFF; });
}

std::uint64_t DrawCache::hashOf(const DrawSettings& settings,
                                const std::vector<ClipVertex>& vertices) {
    const std::uint64_t hash = mixBytes(0xCBF29CE484222325ull, &settings, sizeof settings);
    return mixBytes(hash, vertices.data(), vertices.size() * sizeof(ClipVertex));
}

SavedDraw* DrawCache::find(std::uint64_t hash, const DrawSettings& settings,
                           const std::vector<ClipVertex>& vertices) {
    // A frame is a few dozen draws; a program that never presents does not grow this.
    if (seenThisFrame_.size() < maxDrawsNoted) seenThisFrame_.push_back(hash);
    for (const auto& saved : saved_) {
        if (sameDraw(*saved, hash, settings, vertices)) {
            saved->madeThisFrame = true;
            return saved.get();
        }
    }
    return nullptr;
}

SavedDraw* DrawCache::startSaving(std::uint64_t hash, const DrawSettings& settings,
                                  const std::vector<ClipVertex>& vertices) {
    if (std::find(seenLastFrame_.begin(), seenLastFrame_.end(), hash) == seenLastFrame_.end()) {
        return nullptr;
    }
    auto saved = std::make_unique<SavedDraw>();
    saved->hash = hash;
    saved->settings = settings;
    saved->vertices = vertices;
    saved_.push_back(std::move(saved));
    return saved_.back().get();
}

void DrawCache::endFrame() {
    std::erase_if(saved_, [](const auto& saved) { return !saved->madeThisFrame; });
    for (const auto& saved : saved_) saved->madeThisFrame = false;
    seenLastFrame_.swap(seenThisFrame_);
    seenThisFrame_.clear();
}

void DrawCache::clear() {
    saved_.clear();
    seenThisFrame_.clear();
    seenLastFrame_.clear();
}

} // namespace softgpu
