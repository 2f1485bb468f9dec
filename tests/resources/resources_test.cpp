// The resources compiled into the program: every picture the game asks for is there, in the
// form its loader reads, and the lookup finds nothing it was not given.
#include "platform/resources.h"
#include "tests/resources/bitmap_view.h"

#include <gtest/gtest.h>
#include <SDL.h>

#include <cstring>

using hopla_test::le16;
using hopla_test::le32;
using platform::findResource;
using platform::ResourceType;

namespace {

struct Expected {
    int firstId;
    int lastId;
    int width;
    int height;
};

// The pictures of the game and their sizes.
constexpr Expected pictures[] = {
    {2001, 2001, 64, 64}, {2002, 2004, 32, 32}, {2005, 2005, 16, 16},   {2006, 2006, 32, 24},
    {2007, 2009, 32, 20}, {2010, 2010, 32, 32}, {2011, 2011, 16, 16},   {2012, 2017, 32, 20},
    {2018, 2018, 32, 32}, {2019, 2019, 1, 1},   {2020, 2020, 128, 128}, {2021, 2030, 16, 16},
};

Expected expectedFor(int id) {
    for (const Expected& e : pictures)
        if (id >= e.firstId && id <= e.lastId) return e;
    return {};
}

} // namespace

TEST(Resources, EveryBitmapIsA24BitBottomUpPictureOfItsSize) {
    for (int id = 2001; id <= 2030; ++id) {
        SCOPED_TRACE(id);
        const auto res = findResource(ResourceType::Bitmap, id);
        ASSERT_TRUE(res.has_value());
        ASSERT_GE(res->size, 40u);
        const std::uint8_t* h = res->bytes;
        const Expected e = expectedFor(id);
        EXPECT_EQ(le32(h), 40u) << "must begin with the info header, not the file header";
        EXPECT_EQ(int(le32(h + 4)), e.width);
        EXPECT_EQ(int(le32(h + 8)), e.height) << "positive height: rows stored bottom-up";
        EXPECT_EQ(le16(h + 12), 1);
        EXPECT_EQ(le16(h + 14), 24);
        EXPECT_EQ(le32(h + 16), 0u) << "uncompressed";
        const std::uint32_t stride = (std::uint32_t(e.width) * 3 + 3) / 4 * 4;
        EXPECT_EQ(le32(h + 20), stride * std::uint32_t(e.height));
        EXPECT_EQ(res->size, 40u + le32(h + 20)) << "pixels must be all there, nothing after";
    }
}

TEST(Resources, LookupFindsNothingForIdsOrTypesItWasNotGiven) {
    for (int id : {0, -1, 1, 2000, 2031, 2032, 2035, 2001 + 65536})
        EXPECT_FALSE(findResource(ResourceType::Bitmap, id).has_value()) << id;
    EXPECT_FALSE(findResource(ResourceType::Wave, 2001).has_value());
    EXPECT_FALSE(findResource(ResourceType::Wave, 2031).has_value());
    EXPECT_FALSE(findResource(ResourceType::Icon, 2001).has_value());
    EXPECT_FALSE(findResource(ResourceType::Icon, 0).has_value());
    // Each id finds its own bytes, not a neighbour's.
    const auto ball = findResource(ResourceType::Bitmap, 2001);
    const auto wall = findResource(ResourceType::Bitmap, 2020);
    ASSERT_TRUE(ball && wall);
    EXPECT_NE(ball->bytes, wall->bytes);
}

TEST(Resources, IconIsAWhole32By32BitmapSdlCanRead) {
    const auto icon = findResource(ResourceType::Icon, platform::hoplaIconId);
    ASSERT_TRUE(icon.has_value());
    ASSERT_GT(icon->size, 54u);
    EXPECT_EQ(std::memcmp(icon->bytes, "BM", 2), 0);
    EXPECT_EQ(le32(icon->bytes + 2), icon->size) << "file size field";
    SDL_RWops* rw = SDL_RWFromConstMem(icon->bytes, int(icon->size));
    ASSERT_NE(rw, nullptr);
    SDL_Surface* surface = SDL_LoadBMP_RW(rw, 1);
    ASSERT_NE(surface, nullptr) << SDL_GetError();
    EXPECT_EQ(surface->w, 32);
    EXPECT_EQ(surface->h, 32);
    EXPECT_EQ(surface->format->BitsPerPixel, 24);
    SDL_FreeSurface(surface);
}

TEST(Resources, SoundsAreStoredWhole) {
    for (int id = 2032; id <= 2034; ++id) {
        SCOPED_TRACE(id);
        const auto wave = findResource(ResourceType::Wave, id);
        ASSERT_TRUE(wave.has_value());
        ASSERT_GE(wave->size, 12u);
        EXPECT_EQ(std::memcmp(wave->bytes, "RIFF", 4), 0);
        EXPECT_EQ(std::memcmp(wave->bytes + 8, "WAVE", 4), 0);
    }
}
