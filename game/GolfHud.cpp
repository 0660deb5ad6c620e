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
