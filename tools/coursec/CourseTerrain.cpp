#include "tools/coursec/CourseTerrain.h"

#include "engine/render3d/Vphob.h"
#include "game/Surface.h"
#include "tools/coursec/CourseFigures.h"

namespace fairholm::coursec {

Ref<VpolyTerrain> CourseTerrain::load(const std::string& path, Ref<Vilib> textures) {
    Ref<VpolyTerrain> terrain = make<VpolyTerrain>();
    if (!CourseFigures::load(path, terrain)) {
        return Ref<VpolyTerrain>();
    }
    Vphob::setGravity(gravity);
    Surface::dressTerrain(*terrain, textures);
    terrain->buildHeightMap();
    return terrain;
}

}  // namespace fairholm::coursec
