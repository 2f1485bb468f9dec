// Every picture of the game, drawn from code. Sizes are those the game's loader and scene expect;
// pure black is transparent in the game, so backgrounds are black and nothing that must show is.
#pragma once

#include "tools/artgen/image.h"

#include <vector>

namespace artgen {

// The ball and what is drawn with it.
Image drawBall();         // 64 x 64 marbled surface wrapped once round the ball
Image drawShine();        // 32 x 32 dim blue halo drawn round the ball
Image drawGlow();         // 32 x 32 soft white spot: the ball's light on the floor, the key's glow
Image drawPointer();      // 32 x 32 cross-hair
Image drawIcon(int size); // the game's icon, size x size: 32 for the window, more for menus
// The icon for a phone's home screen, which crops it to a shape of its own (a web app's
// "maskable" icon): the same picture with room round it.
Image drawMaskableIcon(int size);

// The frame round the window.
Image drawCorner();        // 32 x 32, the top-left corner; the game mirrors it for the others
Image drawHorizontalBar(); // 32 x 32, metal in the upper half
Image drawVerticalBar();   // 16 x 16, metal across its width
Image drawCloseButton();   // 16 x 16
Image drawEdgePixel();     // 1 x 1, the dark line round the window
Image drawWall();          // 128 x 128, the inside of the box

// Words and numbers.
Image drawBestLabel();               // 32 x 24
std::vector<Image> drawScoreLabel(); // three 32 x 20 pieces
std::vector<Image> drawBanner();     // four 32 x 20 pieces
std::vector<Image> drawTitle();      // two 32 x 20 pieces
Image drawDigit(int digit);          // 16 x 16

// Shared by the metal pictures: the bar's cross-section, from the outer edge (0) inwards (15).
Shade frameMetal(int depth);
// A domed rivet lit from the top left, anti-aliased into what lies beneath.
void drawRivet(Image& image, double cx, double cy, double radius, Shade dark, Shade light);

} // namespace artgen
