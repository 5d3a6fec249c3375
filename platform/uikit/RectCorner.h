#pragma once

namespace uikit {

// Corner flags of a rectangle, combinable.
enum RectCorner : unsigned {
    RectCornerTopLeft = 1,
    RectCornerTopRight = 2,
    RectCornerBottomLeft = 4,
    RectCornerBottomRight = 8,
    RectCornerAllCorners = 15,
};

}  // namespace uikit
