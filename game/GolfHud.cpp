// The head-up display: hole, par and stroke, distance, club and wind with its arrow;
// the key-help panels that come and go with it; and the centre message.

#include <array>
#include <initializer_list>

#include "game/Golf.h"
#include "runtime/Runtime.h"

namespace fairholm {

namespace {

bool boxesOverlap(const Vsprite& a, const Vsprite& b) {
    const int32_t ax = a.getX() >> 15;
    const int32_t ay = a.getY() >> 15;
    const int32_t bx = b.getX() >> 15;
    const int32_t by = b.getY() >> 15;
    return ax < bx + b.getWidth() && bx < ax + a.getWidth() && ay < by + b.getHeight() &&
           by < ay + a.getHeight();
}

}  // namespace

void Golf::showKeyHelp(Vsprite* panel) {
    if (!panel) {
        return;
    }
    // Already shown panels stay where they are in the list: a sprite is linked only once.
    panel->setPosition(getWidth() - panel->getWidth() - 2, 2);
    if (!panel->hasParent()) {
        appendChild(Ref<Vsprite>(panel));
    }
    if (!m_hudPanel->hasParent()) {
        appendChild(m_hudPanel);
    }
    if (m_comfort) {
        m_hudPanel->setPosition(2, 2);
        keepMarkersInSight(false);
    }
}

void Golf::keepMarkersInSight(bool mayPan) {
    if (!m_comfort || !m_mapSprite || !m_mapSprite->hasParent() || !m_pinSprite) {
        return;
    }
    Vsprite* help = m_mapKeyHelp->hasParent() ? m_mapKeyHelp.ptr() : nullptr;
    if (help) {
        help->setPosition(getWidth() - help->getWidth() - 2, 2);
        if (coversMarker(*help)) {
            stepAside(*help, {{getWidth() - help->getWidth() - 2, getHeight() - help->getHeight() - 2}},
                      nullptr);
        }
    }
    if (m_hudPanel->hasParent()) {
        Vsprite& hud = *m_hudPanel;
        hud.setPosition(2, 2);
        if (coversMarker(hud) && !(mayPan && panMapFrom(hud))) {
            const int32_t right = getWidth() - hud.getWidth() - 2;
            const int32_t bottom = getHeight() - hud.getHeight() - 2;
            stepAside(hud, {{2, bottom}, {right, bottom}, {right, 2}}, help);
        }
    }
}

void Golf::stepAside(Vsprite& panel, std::initializer_list<std::array<int32_t, 2>> places,
                     const Vsprite* other) {
    // The first place where the panel covers no marker and no other panel; none: it
    // stays where it is.
    const fixed x = panel.getX();
    const fixed y = panel.getY();
    for (const auto& place : places) {
        panel.setPosition(place[0], place[1]);
        if (!coversMarker(panel) && !(other && boxesOverlap(panel, *other))) {
            return;
        }
    }
    panel.setPositionFixed(x, y);
}

int32_t Golf::markersOnScreen(int32_t points[2][2]) const {
    // The map's position plus the course position at the map's scale.
    const fixed scale = m_mapSprite->getScale();
    const Vsprite* markers[2] = {m_pinSprite.ptr(), m_ballSprite.ptr()};
    for (int32_t i = 0; i < 2; ++i) {
        points[i][0] = (m_mapSprite->getX() + fx::mul(markers[i]->getWorldX(), scale)) >> 15;
        points[i][1] = (m_mapSprite->getY() + fx::mul(markers[i]->getWorldZ(), scale)) >> 15;
    }
    return 2;
}

bool Golf::coversMarker(const Vsprite& panel, int32_t* dx, int32_t* dy) const {
    int32_t points[2][2];
    const int32_t count = markersOnScreen(points);
    const int32_t x = panel.getX() >> 15;
    const int32_t y = panel.getY() >> 15;
    bool covered = false;
    for (int32_t i = 0; i < count; ++i) {
        const int32_t px = points[i][0];
        const int32_t py = points[i][1];
        if (px >= x - markerMargin && px < x + panel.getWidth() + markerMargin && py >= y - markerMargin &&
            py < y + panel.getHeight() + markerMargin) {
            covered = true;
            // How far the map must move right or down to take the marker out from under.
            if (dx && x + panel.getWidth() + markerMargin - px > *dx) {
                *dx = x + panel.getWidth() + markerMargin - px;
            }
            if (dy && y + panel.getHeight() + markerMargin - py > *dy) {
                *dy = y + panel.getHeight() + markerMargin - py;
            }
        }
    }
    return covered;
}

bool Golf::panMapFrom(const Vsprite& panel) {
    int32_t dx = 0;
    int32_t dy = 0;
    coversMarker(panel, &dx, &dy);
    const fixed startX = m_mapSprite->getX();
    const fixed startY = m_mapSprite->getY();
    const int32_t moves[2][2] = {{0, dy}, {dx, 0}};
    for (const auto& move : moves) {
        m_mapSprite->moveBy(move[0] * fx::one, move[1] * fx::one);
        clampMap();
        int32_t points[2][2];
        const int32_t count = markersOnScreen(points);
        bool inSight = !coversMarker(panel);
        for (int32_t i = 0; i < count; ++i) {
            inSight = inSight && points[i][0] >= markerMargin && points[i][0] < getWidth() - markerMargin &&
                      points[i][1] >= markerMargin && points[i][1] < getHeight() - markerMargin;
        }
        if (inSight) {
            return true;
        }
        m_mapSprite->setPositionFixed(startX, startY);
    }
    return false;
}

void Golf::hideKeyHelp(Vsprite* panel) {
    if (panel) {
        panel->removeFromParent();
    }
    if (m_hudPanel) {
        m_hudPanel->removeFromParent();
    }
}

void Golf::showMessage(Ref<String> text) {
    m_messageText = part<Vtext>(std::move(text));
    appendCentered(m_messageText);
}

void Golf::updateWind() {
    m_wind.step(Runtime::currentTimeMillis());
    m_windText->setNumber(m_wind.shownStrength());

    angle arrow = m_wind.direction();
    if (m_state != MapBrowse && m_terrainView) {
        arrow += m_terrainView->getHeading();
    }
    arrow &= 0x7C00;
    if (arrow != m_arrowAngle) {
        m_arrowAngle = arrow;
        m_arrowReader->load(m_windArrow, *lit("arrow"), 24, 24, 48, 2, arrow);
    }
}

}  // namespace fairholm
