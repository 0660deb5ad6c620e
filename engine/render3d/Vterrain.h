#pragma once

#include <cstdint>

#include "engine/render3d/TextureAtlas.h"
#include "engine/render3d/VpolyTerrain.h"
#include "engine/sprite/Viewport.h"
#include "runtime/Array.h"
#include "runtime/Fixed.h"
#include "runtime/Ref.h"
#include "runtime/WorkerThread.h"

namespace fairholm {

class Vilib;

// The 3-D view of the course: casts one ray per screen column over the terrain's
// height grid, textures and hill-shades the ground, fills the sky above it with a
// vertical gradient and projects its children (ball, pin, golfer...) into the scene as
// depth-tested billboards with optional slanted shadows.
//
// The camera is the viewport's world position (x, z on the ground, y up) and a
// heading: 0 looks along -z, 8192 along +x. The focal length is 512 pixels, the screen
// centre is (width / 2, horizon). Frame-buffer pixels carry the ray distance in their
// top byte, so sprites drawn afterwards hide behind nearer ground.
class Vterrain : public Viewport {
public:
    // Ground rays start 9 units ahead (144 steps of 1/16) and end before 511 units.
    static constexpr int32_t firstStep = 144;
    static constexpr int32_t lastStep = 8176;
    // Children are visible strictly between 8.0 and 8192.0 units ahead.
    static constexpr fixed nearestDepth = 0x40001;
    static constexpr fixed farthestDepth = 0xFFFFFFF;

    // Without `backBuffer` the view frees its buffer and renders straight into its
    // parent's frame buffer.
    Vterrain(int32_t width, int32_t height, bool backBuffer);
    ~Vterrain() override;

    void paint(const IntArray& pixels, int32_t stride, int32_t rows, int32_t clipLeft, int32_t clipTop,
               int32_t clipRight, int32_t clipBottom) override;
    void layout(fixed absoluteX, fixed absoluteY, fixed absoluteScale) override;
    // A new size also forgets the column tops of the old ground.
    void setSize(int32_t w, int32_t h) override;

    virtual void paintChildren(const IntArray& pixels, int32_t stride, int32_t rows, int32_t clipLeft,
                               int32_t clipTop, int32_t clipRight, int32_t clipBottom);
    virtual void drawTerrain(const IntArray& pixels, int32_t stride, int32_t rows, int32_t clipLeft,
                             int32_t clipTop, int32_t clipRight, int32_t clipBottom);
    virtual angle getHeading() const { return m_heading; }
    virtual void lookAt(fixed x, fixed z);
    virtual void moveForward(fixed d);
    virtual void refreshBackground();
    virtual fixed toViewX(fixed a, fixed b) const {
        return fx::mul(m_cosHeading, a) - fx::mul(m_sinHeading, b);
    }
    virtual fixed toViewZ(fixed a, fixed b) const {
        return fx::mul(m_sinHeading, a) + fx::mul(m_cosHeading, b);
    }
    virtual void setHeading(angle heading);
    virtual void setEyeHeight(fixed h);
    virtual void setHorizon(int32_t row) { m_horizon = row; }
    virtual void projectSprite(Vsprite& sprite);
    virtual fixed keepAboveGround();
    virtual void setSkyColors(int32_t top, int32_t bottom);
    virtual void placeCamera(fixed x, fixed dy, fixed z);

    const Ref<VpolyTerrain>& terrain() const { return m_terrain; }
    void setTerrain(Ref<VpolyTerrain> terrain);
    const Ref<Vilib>& textures() const { return m_textures; }
    void setTextures(Ref<Vilib> textures);
    fixed cosHeading() const { return m_cosHeading; }
    fixed sinHeading() const { return m_sinHeading; }
    int32_t horizon() const { return m_horizon; }
    bool groundDirty() const { return m_groundDirty != 0; }
    void setGroundDirty(bool dirty) { m_groundDirty = dirty ? 1 : 0; }
    const IntArray& skyColors() const { return m_skyColors; }
    const ShortArray& columnTop() const { return m_columnTop; }

private:
    // The 32 x 32 texels of a texture image; a table of zeros when it is missing.
    const int32_t* texelsOf(int32_t image) {
        return image == m_textureImage && m_texels ? m_texels : fetchTexture(image);
    }
    const int32_t* fetchTexture(int32_t image);
    // Casts one column's ray from row `bottom` up to row `top` at most; returns the
    // highest row drawn (bottom when none).
    int32_t castColumn(int32_t* target, int32_t stride, int32_t x, int32_t top, int32_t bottom);
    // Casts the columns of [left, right) that need it, eight at a time, in chunks
    // shared with the helper thread.
    void castBatches(int32_t* target, int32_t stride, int32_t left, int32_t top, int32_t right,
                     int32_t bottom, bool direct);
    bool ensureRayScratch();
    // After a column's ground: its new top (for a redraw from the top) and the sky
    // from `skyStart` down to the ground's highest row.
    void finishColumn(int32_t* target, int32_t stride, int32_t x, int32_t top, int32_t row, int32_t skyStart);
    // Where the ground of column x is to be drawn from this time; it needs a ray when
    // that lies less than two rows below the clip's bottom.
    int32_t groundStart(int32_t x, int32_t top) const {
        const int32_t start = x < m_columnTop.length() ? m_columnTop[x] : 0;
        return start < top ? top : start;
    }

    Ref<VpolyTerrain> m_terrain;
    angle m_heading = 0;
    fixed m_cosHeading = fx::one;
    fixed m_sinHeading = 0;
    int32_t m_horizon = 0;
    Ref<Vilib> m_textures;
    uint8_t m_groundDirty = 0;
    IntArray m_skyColors;
    ShortArray m_columnTop;
    // What the ground was last laid out for: the view's size, horizon, heading and place.
    // The fields themselves are compared (a sum of them would miss a camera moving at
    // heading 4096, whose x grows by what its z loses).
    struct Camera {
        int32_t width;
        int32_t height;
        int32_t horizon;
        angle heading;
        fixed x;
        fixed y;
        fixed z;
        bool operator==(const Camera&) const = default;
    };
    Camera m_camera{};
    bool m_cameraLaidOut = false;
    // A child's place and picture as one key, mixed so that moves which keep the sum of
    // the coordinates are seen.
    static int32_t childKey(const Vsprite& child);

    // Texture in use while drawing: its image number and texels.
    int32_t m_textureImage = -1;
    const int32_t* m_texels = nullptr;
    IntArray m_texturePixels;
    // For the eight-column caster: the textures of the palette entries and the list
    // of draws.
    TextureAtlas m_atlas;
    IntArray m_rayScratch;
    // A second thread takes a share of the columns; it has a list of its own.
    WorkerThread m_helper;
    IntArray m_helperScratch;
};

}  // namespace fairholm
