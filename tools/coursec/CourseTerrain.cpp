#include "tools/coursec/CourseTerrain.h"

#include "engine/render3d/Vphob.h"
#include "tools/coursec/CourseFigures.h"

namespace fairholm::coursec {

Ref<VpolyTerrain> CourseTerrain::load(const std::string& path, Ref<Vilib> textures) {
    Ref<VpolyTerrain> terrain = make<VpolyTerrain>();
    if (!CourseFigures::load(path, terrain)) {
        return Ref<VpolyTerrain>();
    }
    Vphob::setGravity(gravity);
    for (int32_t i = 0; i < terrain->paletteSize(); ++i) {
        int kind, level;
        CourseFigures::classify(static_cast<uint32_t>(terrain->paletteColor(i)), kind, level);
        static const fixed friction[8] = {0x4000, 0x4CCC, 0x2666, 0x8000, 0x2666, 0x4000, 0x5999, 0x4000};
        terrain->setPaletteImage(i, textures, kind);
        terrain->setColor(i, level);
        terrain->setSurfaceProperties(i, friction[kind], 0);
    }
    terrain->buildHeightMap();
    return terrain;
}

}  // namespace fairholm::coursec
