// The page's buttons reach the game only after a frame has seen the pointer where they
// happened, so a tap, whose move and press come together, kicks what it lands on.
#include "platform/web/input_queue.h"

#include <gtest/gtest.h>

namespace platform::web {
namespace {

bool samePoint(ClientPoint a, ClientPoint b) {
    return a.x == b.x && a.y == b.y;
}

TEST(InputQueue, ATapWaitsOneFrameWithThePointerWhereItLanded) {
    InputQueue input;
    input.move({10, 10});
    EXPECT_TRUE(samePoint(input.poll(), {10, 10}));

    // A tap: the finger lands on (320, 372) and lifts there before the next frame.
    input.move({320, 372});
    input.button(WM_LBUTTONDOWN, {320, 372});
    input.button(WM_LBUTTONUP, {320, 372});
    UINT message = 0;
    ClientPoint at;
    EXPECT_FALSE(input.next(message, at)) << "no frame has seen the pointer there yet";
    input.move({330, 380}); // a later move does not take the pointer away from the press
    EXPECT_TRUE(samePoint(input.poll(), {320, 372}));
    ASSERT_TRUE(input.next(message, at));
    EXPECT_EQ(message, WM_LBUTTONDOWN);
    ASSERT_TRUE(input.next(message, at)) << "the release happened where the press did";
    EXPECT_EQ(message, WM_LBUTTONUP);
    EXPECT_FALSE(input.next(message, at));
    EXPECT_TRUE(samePoint(input.poll(), {330, 380})) << "then the pointer follows the move";
}

TEST(InputQueue, AButtonWhereTheLastFrameSawThePointerGoesAtOnceAndInOrder) {
    InputQueue input;
    UINT message = 0;
    ClientPoint at;
    input.button(WM_RBUTTONUP, {0, 0});
    EXPECT_FALSE(input.next(message, at)) << "before any frame nothing has been seen";
    input.poll();
    ASSERT_TRUE(input.next(message, at));
    EXPECT_EQ(message, WM_RBUTTONUP);

    // A press where the pointer was, then a release elsewhere: the release waits its frame.
    input.move({523, 49});
    input.poll();
    input.button(WM_LBUTTONDOWN, {523, 49});
    input.move({200, 200});
    input.button(WM_LBUTTONUP, {200, 200});
    ASSERT_TRUE(input.next(message, at));
    EXPECT_EQ(message, WM_LBUTTONDOWN);
    EXPECT_FALSE(input.next(message, at));
    EXPECT_TRUE(samePoint(input.poll(), {200, 200}));
    ASSERT_TRUE(input.next(message, at));
    EXPECT_TRUE(message == WM_LBUTTONUP && samePoint(at, {200, 200}));
}

} // namespace
} // namespace platform::web
