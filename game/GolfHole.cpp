// A round: setting up each hole, scoring it when the ball drops, and keeping the
// progress in the saved record so that a round can be resumed.

#include "game/Course.h"
#include "game/Golf.h"
#include "game/Pictures.h"
#include "game/SavedState.h"
#include "runtime/StringBuffer.h"

namespace fairholm {

void Golf::startHole() {
    if (m_matchPlay) {
        startTurn();
    }
    const int32_t index = m_round.hole();
    const Course::Hole& hole = Course::hole(index);
    m_holeText->setNumber(index + 1);
    StringBuffer par(*lit("Par "));
    par.append(Course::par(index)).append(*lit(" - "));
    m_parText->setText(par.toString());

    m_round.startHole();
    m_state = Aiming;
    m_shotPath.clear();
    m_keepingShot = false;

    if (m_terrainView) {
        m_terrainView->removeAllChildren();
        m_terrainView->removeFromParent();
    }
    if (m_mapSprite) {
        m_mapSprite->removeAllChildren();
        m_mapSprite->removeFromParent();
    }
    Ref<String> pack = Course::holePack(index);
    if (m_loadedPackName && (m_loadedPackName == pack || m_loadedPackName->equals(pack))) {
        m_mapSprite->addChild(m_terrain);
    } else {
        loadCoursePack(pack);
    }
    addChild(m_terrainView);

    m_aimMarker = addGroundSprite(Pictures::shadow, hole.teeX, hole.teeZ, 3640, 0x5000);
    m_aimMarker->setOpacity(0x4000);
    m_ballSprite = addGroundSprite(Pictures::ball, hole.teeX, hole.teeZ, 3640, 0x5000);
    m_shadowMarker = addMapSprite(*m_mapSprite, Pictures::shadow, hole.teeX, hole.teeZ, 0, 0x5000);
    m_shadowMarker->setScale(0x2000);
    m_shadowMarker->setOpacity(0x4000);
    m_ballMarker = addMapSprite(*m_mapSprite, Pictures::ball, hole.teeX, hole.teeZ, 0, 0x5000);
    m_ballMarker->setScale(0x2000);
    m_pinSprite = addGroundSprite(Pictures::pin, hole.pinX, hole.pinZ, 65532, 0x1000);
    m_pinSprite->setSlanted(true);
    m_pinSprite->setSnapToPixel(true);
    Ref<Vsprite> mapPin = addMapSprite(*m_mapSprite, Pictures::pin, hole.pinX, hole.pinZ, 0, 0x1555);
    mapPin->setSnapToPixel(true);
    mapPin->setScale(0x1555);
    // The male putting stance until the club's stance replaces it.
    m_golferSprite =
        addGroundSprite(Pictures::maleGolfer + Pictures::puttStance, hole.teeX, hole.teeZ, 65532, 0x8000);
    m_golferSprite->setMaxScale(0x8000);
    m_golferSprite->setSlanted(true);

    aimAt(hole.aimX << 15, hole.aimZ << 15);

    addViewSprite(Pictures::tree, -131064, -87376, 218440, 1);
    addViewSprite(Pictures::bag, 109220, -87376, 32766, 1);

    revealColumns();
    if (!m_keyHelpHidden && !isKeyHelpOnScreen(m_playKeyHelp.ptr())) {
        m_playKeyHelp->selectByTag('5');
        showKeyHelp(m_playKeyHelp.ptr());
    }
    flushKeys();
}

void Golf::finishHole() {
    if (m_matchPlay) {
        finishTurn();
        return;
    }
    m_state = Scorecard;
    const Round::HoleScore score = m_round.finishHole();
    m_scoreTitle->setText(lit(score.announcement));
    m_scoreTitle->setPosition((m_scorecard->getWidth() - m_scoreTitle->getWidth()) / 2, 0);

    StringBuffer holeLine(*lit("Hole "));
    holeLine.append(score.hole + 1).append(*lit(score.overPar < 0 ? ": -" : ": +"));
    holeLine.append(score.overPar < 0 ? -score.overPar : score.overPar);
    m_holeLine->setText(holeLine.toString());
    m_strokesLine->setNumber(score.strokes);

    m_totalLine->setNumber(score.total);
    StringBuffer roundLine(*lit("Round: "));
    roundLine.append(*lit(score.relative < 0 ? "-" : "+"))
        .append(score.relative < 0 ? -score.relative : score.relative);
    m_roundLine->setText(roundLine.toString());

    appendCentered(m_scorecard);
    repaint();

    saveState();
    sayIfNotSaved(*m_scorecard);
    playSound(lit("music"));
}

void Golf::sayIfNotSaved(const Vsprite& card) {
    if (!m_saveFailed) {
        return;
    }
    // Said under the card, which takes it away with itself.
    m_messageText = part<Vtext>(lit("Progress not saved"));
    appendChild(m_messageText);
    const int32_t below = (card.getY() >> 15) + card.getHeight() + 2;
    m_messageText->setPosition((getWidth() - m_messageText->getWidth()) / 2,
                               below + m_messageText->getHeight() <= getHeight() ? below : 0);
}

int32_t Golf::getSavedShort(int32_t offset) {
    return SavedState::getShort(m_savedState, offset);
}

void Golf::setSavedShort(int32_t offset, int32_t value) {
    SavedState::setShort(m_savedState, offset, value);
}

void Golf::saveState() {
    // During a round of several players the one-player round and golfer stay as saved;
    // only the sound setting is the device's.
    const bool female = m_matchPlay ? (getSavedShort(SavedState::flagsOffset) & SavedState::femaleGolfer) != 0
                                    : m_golferFrameBase == Pictures::femaleGolfer;
    const int32_t flags = (m_soundOff ? SavedState::soundOff : 0) | (female ? SavedState::femaleGolfer : 0);
    if (!m_matchPlay) {
        setSavedShort(SavedState::holeOffset, m_round.hole());
        setSavedShort(SavedState::totalOffset, m_round.total());
    }
    setSavedShort(SavedState::flagsOffset, flags);
    // A playback leaves the viewer's own record alone.
    const bool writes = !journalled() || m_journal->writesFiles();
    const bool failed =
        display() && writes && !display()->saveBytes(*lit(SavedState::fileName), m_savedState);
    m_saveFailed = journalled() ? !m_journal->saved(!failed) : failed;
}

}  // namespace fairholm
