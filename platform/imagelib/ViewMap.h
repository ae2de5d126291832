#pragma once
// The pixel mapping behind a view perspective (kernel-private).
#include "platform/imagelib/ltkrn.h"

#include <cstdint>

namespace kvimg {

// Maps a pixel (x, y) of the picture as seen to its stored pixel (sx, sy) of a w x h bitmap:
// sx = ax*x + bx*y + cx, sy = ay*x + by*y + cy.
struct ViewMap {
    std::int32_t ax, bx, cx, ay, by, cy;

    static ViewMap For(std::int32_t vp, std::int32_t w, std::int32_t h);
    void ToStored(std::int32_t x, std::int32_t y, std::int32_t& sx, std::int32_t& sy) const
    {
        sx = ax * x + bx * y + cx;
        sy = ay * x + by * y + cy;
    }
    void ToView(std::int32_t sx, std::int32_t sy, std::int32_t& x, std::int32_t& y) const;
};

// The perspective that undoes vp.
std::int32_t InverseViewPerspective(std::int32_t vp);
// A stored rectangle of a w x h bitmap as seen through vp, and back.
LRect MapStoredRectToView(const LRect& r, std::int32_t vp, std::int32_t w, std::int32_t h);
LRect MapViewRectToStored(const LRect& r, std::int32_t vp, std::int32_t w, std::int32_t h);

} // namespace kvimg
