#include "tools/coursec/CourseTerrain.h"

#include "engine/render3d/Vphob.h"
#include "game/Golf.h"
#include "tools/coursec/CourseFigures.h"

namespace fairholm::coursec {

Ref<VpolyTerrain> CourseTerrain::load(const std::string& path, Ref<Vilib> textures) {
    Ref<VpolyTerrain> terrain = make<VpolyTerrain>();
    if (!CourseFigures::load(path, terrain)) {
        return Ref<VpolyTerrain>();
    }
    Vphob::setGravity(gravity);
    for (int32_t i = 0; i < terrain->paletteSize(); ++i) {
        const Golf::Surface surface = Golf::classifySurface(static_cast<uint32_t>(terrain->paletteColor(i)));
        terrain->setPaletteImage(i, textures, surface.kind);
        terrain->setColor(i, surface.height);
        terrain->setSurfaceProperties(i, surface.friction, 0);
    }
    terrain->buildHeightMap();
    return terrain;
}

}  // namespace fairholm::coursec
