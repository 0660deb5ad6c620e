// A round: setting up each hole, scoring it when the ball drops, and keeping the
// progress in the saved record so that a round can be resumed.

#include "game/Golf.h"
#include "runtime/StringBuffer.h"

namespace fairholm {

namespace {

const char* announcementFor(int32_t underPar) {
    switch (underPar) {
        case 0:
            return "Par";
        case 1:
            return "Birdie!";
        case 2:
            return "Eagle!";
        case 3:
            return "Double Eagle!";
        default:
            return "Score";
    }
}

}  // namespace

void Golf::startHole() {
    const Hole& hole = holeTable[m_holeIndex];
    m_holeText->setNumber(m_holeIndex + 1);
    StringBuffer par(*lit("Par "));
    par.append(parTable[m_holeIndex]).append(*lit(" - "));
    m_parText->setText(par.toString());

    m_strokes = 0;
    m_state = Aiming;

    if (m_terrainView) {
        m_terrainView->removeAllChildren();
        m_terrainView->removeFromParent();
    }
    if (m_mapSprite) {
        m_mapSprite->removeAllChildren();
        m_mapSprite->removeFromParent();
    }
    Ref<String> pack = holePack(m_holeIndex);
    if (m_loadedPackName && (m_loadedPackName == pack || m_loadedPackName->equals(pack))) {
        m_mapSprite->addChild(m_terrain);
    } else {
        loadCoursePack(pack);
    }
    addChild(m_terrainView);

    m_aimMarker = addGroundSprite(12, hole.teeX, hole.teeZ, 3640, 0x5000);
    m_aimMarker->setOpacity(0x4000);
    m_ballSprite = addGroundSprite(11, hole.teeX, hole.teeZ, 3640, 0x5000);
    m_shadowMarker = addMapSprite(*m_mapSprite, 12, hole.teeX, hole.teeZ, 0, 0x5000);
    m_shadowMarker->setScale(0x2000);
    m_shadowMarker->setOpacity(0x4000);
    m_ballMarker = addMapSprite(*m_mapSprite, 11, hole.teeX, hole.teeZ, 0, 0x5000);
    m_ballMarker->setScale(0x2000);
    m_pinSprite = addGroundSprite(8, hole.pinX, hole.pinZ, 65532, 0x1000);
    m_pinSprite->setSlanted(true);
    m_pinSprite->setSnapToPixel(true);
    Ref<Vsprite> mapPin = addMapSprite(*m_mapSprite, 8, hole.pinX, hole.pinZ, 0, 0x1555);
    mapPin->setSnapToPixel(true);
    mapPin->setScale(0x1555);
    m_golferSprite = addGroundSprite(30, hole.teeX, hole.teeZ, 65532, 0x8000);
    m_golferSprite->setMaxScale(0x8000);
    m_golferSprite->setSlanted(true);

    aimAt(hole.aimX << 15, hole.aimZ << 15);

    addViewSprite(9, -131064, -87376, 218440, 1);
    addViewSprite(10, 109220, -87376, 32766, 1);

    revealColumns();
    if (!m_keyHelpHidden && !isKeyHelpOnScreen(m_playKeyHelp.ptr())) {
        m_playKeyHelp->selectByTag('5');
        showKeyHelp(m_playKeyHelp.ptr());
    }
    flushKeys();
}

void Golf::finishHole() {
    m_state = Scorecard;
    const int32_t par = parTable[m_holeIndex];
    const char* announcement = m_holeIndex == holeCount - 1 ? "Game Over" : announcementFor(par - m_strokes);
    m_scoreTitle->setText(lit(announcement));
    m_scoreTitle->setPosition((m_scorecard->getWidth() - m_scoreTitle->getWidth()) / 2, 0);

    StringBuffer holeLine(*lit("Hole "));
    holeLine.append(m_holeIndex + 1).append(*lit(m_strokes < par ? ": -" : ": +"));
    holeLine.append(m_strokes < par ? par - m_strokes : m_strokes - par);
    m_holeLine->setText(holeLine.toString());
    m_strokesLine->setNumber(m_strokes);

    m_roundTotal += m_strokes;
    m_totalLine->setNumber(m_roundTotal);
    int32_t parSoFar = 0;
    for (int32_t i = 0; i <= m_holeIndex; ++i) {
        parSoFar += parTable[i];
    }
    const int32_t relative = m_roundTotal - parSoFar;
    StringBuffer roundLine(*lit("Round: "));
    roundLine.append(*lit(relative < 0 ? "-" : "+")).append(relative < 0 ? -relative : relative);
    m_roundLine->setText(roundLine.toString());

    appendCentered(m_scorecard);
    repaint();

    m_holeIndex += 1;
    if (m_holeIndex == holeCount) {
        m_holeIndex = 0;
        m_roundTotal = 0;
    }
    saveState();
    playSound(lit("music"));
}

int32_t Golf::getSavedShort(int32_t offset) {
    return m_savedState[offset] | (m_savedState[offset + 1] << 8);
}

void Golf::setSavedShort(int32_t offset, int32_t value) {
    m_savedState[offset] = static_cast<uint8_t>(value);
    m_savedState[offset + 1] = static_cast<uint8_t>(value >> 8);
}

void Golf::saveState() {
    setSavedShort(0, m_holeIndex);
    setSavedShort(2, m_roundTotal);
    setSavedShort(4, (m_soundOff ? 1 : 0) | (m_golferFrameBase == 36 ? 2 : 0));
    if (display()) {
        display()->saveBytes(*lit("greenvale"), m_savedState);
    }
}

}  // namespace fairholm
