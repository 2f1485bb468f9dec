// The shared records of the game: vectors, row-vector matrices (a placement is the world
// matrix of one drawable) and materials, in the layout the graphics device takes them.
#pragma once

#include "platform/d3d_records.h"

namespace game {

using Vec3 = D3DVECTOR;
using Matrix4 = D3DMATRIX;
using Material = D3DMATERIAL8;

} // namespace game
