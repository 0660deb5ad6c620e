#pragma once

#include <cstdint>
#include <vector>

#include "bench/TerrainCourse.h"
#include "runtime/Fixed.h"

namespace fairholm::bench {

// The other common way of drawing a height field, as a yardstick beside the ray
// batches: the front-to-back sweep with a y-buffer. Lines of equal distance cross the
// view from the nearest to the farthest; on each, every column takes the height and
// colour of the map at its point (the nearest texel, no filtering or shading),
// projects the height to a row and fills from there down to the highest row it has
// filled so far (beyond the map: the default height). Nearer ground hides what lies
// behind it without a test.
//
// It reads one word a sample from a colour map of 1024 x 1024 texels over the course
// (half a yard each: the resolution of the terrain's textures) with the level in the
// top byte, and draws with the terrain view's eye, heading, horizon, frame, reach
// (from 4.5 to 255.5 grid cells, 2 yards each) and sky. The lines start a texel apart
// and each is 0.035 texel farther from the next than the last: about 212 lines, 8
// texels apart at the far end. Floating point: it is a host-side yardstick, not part
// of the game.
class SweepReference {
public:
    static constexpr int side = 1024;

    SweepReference();

    // One frame of `width` x `height` pixels into `target`, seen from `camera` with
    // the eye at `eye` (the terrain view's units) and the horizon at row `horizon`;
    // `sky` has a colour a row.
    void draw(int32_t* target, int32_t width, int32_t height, int32_t horizon, const Camera& camera,
              fixed eye, const int32_t* sky);
    // The lines of the last frame.
    int32_t lines() const { return m_lines; }
    // The rows of ground drawn in the last frame, over all columns.
    int64_t groundRows() const;

private:
    std::vector<uint32_t> m_map;
    uint32_t m_outside = 0;
    std::vector<int32_t> m_rows;
    int32_t m_lines = 0;
    int32_t m_height = 0;
};

}  // namespace fairholm::bench
