// How a course pack becomes the ground of play, and the club the game hands the player
// for a distance.

#include "game/Clubs.h"
#include "game/Golf.h"
#include "game/Surface.h"

namespace fairholm {

void Golf::loadCoursePack(Ref<String> name) {
    if (m_loadedPackName == name || (m_loadedPackName && name && m_loadedPackName->equals(name))) {
        return;
    }
    m_loadedPackName = name;
    if (m_terrain) {
        m_terrain->removeFromParent();
    } else {
        m_terrain = part<VpolyTerrain>();
    }
    m_ballBody->setTerrain(m_terrain);
    Vphob::setGravity(-Clubs::gravity);
    if (m_terrainView) {
        m_terrainView->setTerrain(m_terrain);
        m_terrainView->setTextures(m_imagePack);
    }
    m_terrain->setZ(0x7FFFFF);

    m_courseReader->load(m_terrain, *name, 512, 512, 12469, 48, 0);
    Surface::dressTerrain(*m_terrain, m_imagePack);
    m_terrain->buildHeightMap();

    m_mapSprite = part<Vsprite>();
    m_mapSprite->setZ(0x7FFFFF);
    m_terrain->setScale(fx::one);
    m_mapSprite->addChild(m_terrain);
    m_mapSprite->setScale(64 * (getHeight() > getWidth() ? getHeight() : getWidth()));
}

void Golf::selectClubForDistance(fixed distance) {
    // The lie matters only in the short game: the terrain is asked only then.
    const bool onGreen =
        Clubs::isShortGame(distance) && m_terrain &&
        m_terrain->surfaceAt(m_ballSprite->getWorldX(), m_ballSprite->getWorldZ()) == Surface::green;
    selectClub(Clubs::forDistance(distance, onGreen));
}

}  // namespace fairholm
