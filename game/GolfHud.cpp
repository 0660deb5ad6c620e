// The head-up display: hole, par and stroke, distance, club and wind with its arrow;
// the key-help panels that come and go with it; and the centre message.

#include "game/Golf.h"
#include "runtime/Runtime.h"

namespace fairholm {

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
    m_messageText = make<Vtext>(std::move(text));
    appendCentered(m_messageText);
}

void Golf::updateWind() {
    const uint32_t now = Runtime::currentTimeMillis();
    const int32_t strengthGap = (m_windStrengthTarget - m_windStrength) >> 7;
    if (strengthGap == 0) {
        m_windStrengthTarget = static_cast<fixed>(now & 0x3FFFF);
    } else {
        m_windStrength += strengthGap > 0 ? 128 : -128;
    }
    const int32_t directionGap = (m_windDirectionTarget - m_windDirection) >> 7;
    if (directionGap == 0) {
        m_windDirectionTarget = static_cast<angle>(now & 0x7FFF);
    } else {
        m_windDirection += directionGap > 0 ? 2 : -2;
    }
    m_windText->setNumber((m_windStrength + 16384) >> 15);

    angle arrow = m_windDirection;
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
