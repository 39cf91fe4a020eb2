// Line walking: calls back for every point of a line from its start point up to, not
// including, its end point (so joined legs paint each shared corner once).
#pragma once

#include <cstdlib>

namespace pf {

template <class Fn>
void LineDDA(int x1, int y1, int x2, int y2, Fn&& fn)
{
    const int dx = std::abs(x2 - x1), dy = std::abs(y2 - y1);
    const int sx = x2 >= x1 ? 1 : -1, sy = y2 >= y1 ? 1 : -1;
    const int steps = dx > dy ? dx : dy;
    // Bresenham along the major axis; the end point itself is left out.
    int err = 0;
    int x = x1, y = y1;
    for (int i = 0; i < steps; ++i) {
        fn(x, y);
        if (dx >= dy) {
            x += sx;
            err += dy;
            if (2 * err >= dx) { y += sy; err -= dx; }
        } else {
            y += sy;
            err += dx;
            if (2 * err >= dy) { x += sx; err -= dy; }
        }
    }
}

}  // namespace pf
