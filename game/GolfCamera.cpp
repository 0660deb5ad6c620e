// The two views of the course: the 3-D view behind the ball and the overhead map with
// its fitting, zooming, panning and clamping, and the placing of sprites in either.

#include "engine/sprite/EngineKey.h"
#include "game/Golf.h"

namespace fairholm {

namespace {

constexpr fixed panStep = 1048576;  // 32 pixels

// Keeps one axis of the map on a screen of `screen` pixels; returns the new position.
fixed clampAxis(fixed position, fixed size, int32_t screen) {
    const fixed far = fx::fromInt(screen);
    if (position > 0 && position + size > far) {
        position = 0;
    }
    if (position + size < far && position < 0) {
        position = far - size;
    }
    if (position >= 0 && position + size < far) {
        position = (far - size) >> 1;
    }
    return position;
}

}  // namespace

fixed Golf::groundHeight(fixed x, fixed z) const {
    return m_terrain ? m_terrain->heightAt(x, z) : 0;
}

bool Golf::isKeyHelpOnScreen(Vsprite* panel) const {
    return panel && panel->hasParent();
}

void Golf::createTerrainView() {
    if (m_terrainView) {
        m_terrainView->removeFromParent();
        m_terrainView->releaseBuffer();
    }
    m_terrainView = part<Vterrain>(getWidth(), getHeight(), true);
    m_loadedPackName = nullptr;
    setupCamera();
    m_terrainView->setZ(0x7FFFFF);
}

void Golf::setupCamera() {
    const int32_t h = getHeight();
    int32_t rows;
    if (h < 161) {
        m_eyeHeight = 81915;
        rows = h - 128 > 0 ? h - 128 : 0;
    } else if (h < 300) {
        m_eyeHeight = 101028;
        rows = h - 160;
    } else {
        m_eyeHeight = 141986;
        rows = h - 220;
    }
    Vterrain& view = *m_terrainView;
    view.moveForward(cameraBack);
    view.setEyeHeight(m_eyeHeight);
    view.moveForward(-cameraBack);
    view.setHorizon(rows);
    view.setSkyColors(0xFF005995, 0xFF3399FF);
}

void Golf::openMap(int32_t newState) {
    m_state = newState;
    m_ballMarker->setPositionFixed(m_ballSprite->getWorldX(), m_ballSprite->getWorldZ());
    removeChild(m_terrainView.ptr());
    addChild(m_mapSprite);
    fitMap();
    if (newState == MapBrowse && !m_keyHelpHidden) {
        m_mapKeyHelp->selectByTag('9');
        showKeyHelp(m_mapKeyHelp.ptr());
    }
    keepMarkersInSight(true);
    waitFrame(0);
}

void Golf::closeMap() {
    hideKeyHelp(m_mapKeyHelp.ptr());
    removeChild(m_mapSprite.ptr());
}

void Golf::closeMapToTerrain() {
    closeMap();
    addChild(m_terrainView);
    revealColumns();
    if (!m_keyHelpHidden) {
        showKeyHelp(m_playKeyHelp.ptr());
    }
    flushKeys();
}

void Golf::fitMap() {
    const fixed ballX = m_ballSprite->getWorldX();
    const fixed ballZ = m_ballSprite->getWorldZ();
    const fixed pinX = m_pinSprite->getWorldX();
    const fixed pinZ = m_pinSprite->getWorldZ();
    const fixed minX = (ballX < pinX ? ballX : pinX) - panStep;
    const fixed maxX = (ballX < pinX ? pinX : ballX) + panStep;
    const fixed minZ = (ballZ < pinZ ? ballZ : pinZ) - panStep;
    const fixed maxZ = (ballZ < pinZ ? pinZ : ballZ) + panStep;
    const int32_t extentX = (maxX - minX) >> 15;
    const int32_t extentZ = (maxZ - minZ) >> 15;
    fixed scale;
    if (extentZ < extentX) {
        scale = (getWidth() << 15) / (extentX > 0 ? extentX : 1);
    } else {
        scale = (getHeight() << 15) / (extentZ > 0 ? extentZ : 1);
    }
    const fixed minimum = viewScale();
    if (scale < minimum) {
        scale = minimum;
    }
    if (scale > 65536) {
        scale = 65536;
    }
    const fixed centreX = (minX + maxX) >> 1;
    const fixed centreZ = (minZ + maxZ) >> 1;
    const auto project = [scale](fixed v) {
        return static_cast<int32_t>((static_cast<int64_t>(v) * scale) >> 15 >> 15);
    };
    m_mapSprite->setPosition((getWidth() >> 1) - project(centreX), (getHeight() >> 1) - project(centreZ));
    m_mapSprite->setScale(scale);
    clampMap();
}

void Golf::zoomMap(fixed factor) {
    const fixed scale = m_mapSprite->getScale();
    const int32_t inverse = (1 << 30) / (scale > 0 ? scale : 1);
    const int64_t ux = static_cast<int64_t>((getWidth() >> 1) - (m_mapSprite->getX() >> 15)) * inverse;
    const int64_t uz = static_cast<int64_t>((getHeight() >> 1) - (m_mapSprite->getY() >> 15)) * inverse;
    fixed next = fx::mul(scale, factor);
    if (next < viewScale()) {
        next = viewScale();
    }
    m_mapSprite->setScale(next);
    const auto place = [next](int32_t screen, int64_t u) {
        return static_cast<fixed>(static_cast<int64_t>(screen) * 16384 - ((u * next) >> 15));
    };
    m_mapSprite->setPositionFixed(place(getWidth(), ux), place(getHeight(), uz));
    clampMap();
}

void Golf::clampMap() {
    if (!m_mapSprite) {
        return;
    }
    const fixed size = m_mapSprite->getScale() * 512;
    m_mapSprite->setPositionFixed(clampAxis(m_mapSprite->getX(), size, getWidth()),
                                  clampAxis(m_mapSprite->getY(), size, getHeight()));
}

void Golf::runMapView() {
    updateWind();
    for (;;) {
        int32_t code = nextKey();
        if (!m_keyHelpHidden) {
            if (!isKeyHelpOnScreen(m_mapKeyHelp.ptr())) {
                m_mapKeyHelp->selectByTag('9');
                showKeyHelp(m_mapKeyHelp.ptr());
            }
            code = menuKey(*m_mapKeyHelp, code);
            if (code == '9') {
                hideKeyHelp(m_mapKeyHelp.ptr());
            } else if (code == key::softRight || code == '0') {
                m_keyHelpHidden = true;
                hideKeyHelp(m_mapKeyHelp.ptr());
                code = 0;
            }
        }
        if (code == 0) {
            return;
        }
        const fixed scale = m_mapSprite->getScale();
        if (code == '1') {
            if (scale < 262144) {
                zoomMap(49152);
            }
        } else if (code == '3') {
            if (scale > 4096) {
                zoomMap(21845);
            }
        } else if (code == key::up || code == '2') {
            m_mapSprite->moveBy(0, panStep);
            clampMap();
        } else if (code == key::down || code == '8') {
            m_mapSprite->moveBy(0, -panStep);
            clampMap();
        } else if (code == key::left || code == '4') {
            m_mapSprite->moveBy(panStep, 0);
            clampMap();
        } else if (code == key::right || code == '6') {
            m_mapSprite->moveBy(-panStep, 0);
            clampMap();
        } else if (code == key::softRight || code == '0') {
            m_keyHelpHidden = false;
            showKeyHelp(m_mapKeyHelp.ptr());
        } else {
            if (m_messageText) {
                m_messageText->removeFromParent();
                m_messageText = nullptr;
            }
            m_state = Aiming;
            closeMapToTerrain();
            return;
        }
        keepMarkersInSight(false);
    }
}

Ref<Vsprite> Golf::addMapSprite(Vsprite& parent, int32_t picture, int32_t x, int32_t y, int32_t tag,
                                fixed minScale) {
    auto sprite = part<Vsprite>();
    sprite->setImage(m_imagePack, picture);
    sprite->setPosition(x, y);
    sprite->setTag(tag);
    sprite->setMinScale(minScale);
    parent.addChild(sprite);
    return sprite;
}

Ref<Vsprite> Golf::addGroundSprite(int32_t picture, int32_t x, int32_t z, fixed size, fixed minScale) {
    auto sprite = part<Vsprite>();
    placeOnGround(*sprite, picture, x << 15, z << 15, size, minScale);
    return sprite;
}

Ref<Vsprite> Golf::addViewSprite(int32_t picture, fixed dx, fixed dz, fixed size, fixed minScale) {
    auto sprite = part<Vsprite>();
    const fixed x = m_ballSprite->getWorldX() + m_terrainView->toViewX(dx, dz);
    const fixed z = m_ballSprite->getWorldZ() + m_terrainView->toViewZ(dx, dz);
    placeOnGround(*sprite, picture, x, z, size, minScale);
    return sprite;
}

void Golf::placeOnGround(Vsprite& sprite, int32_t picture, fixed x, fixed z, fixed size, fixed minScale) {
    sprite.setImage(m_imagePack, picture);
    const int32_t height = sprite.getHeight();
    const fixed scale = height > 0
                            ? static_cast<fixed>((static_cast<int64_t>(size) << 15) / (int64_t{height} << 15))
                            : fx::one;
    sprite.setScale(scale);
    sprite.setMinScale(minScale);
    sprite.setWorldPosition(x, groundHeight(x, z), z);
    m_terrainView->addChild(Ref<Vsprite>(&sprite));
}

}  // namespace fairholm
