// Everything between two shots: aiming, the camera's raise and lower, the club menu,
// the power meter, the swing animation and the moment the club meets the ball.

#include "engine/sprite/EngineKey.h"
#include "game/Clubs.h"
#include "game/Golf.h"
#include "game/Pictures.h"
#include "runtime/Assert.h"
#include "runtime/Runtime.h"

namespace fairholm {

namespace {

bool isSwingKey(int32_t code) {
    return code == key::action || code == '5' || code == key::space || code == key::lineFeed;
}

// Distance between two headings, the short way round the circle.
angle headingGap(angle a, angle b) {
    const angle d = (a - b) & 0x7FFF;
    return d > 16384 ? 32768 - d : d;
}

}  // namespace

void Golf::flushKeys() {
    while (nextKey() != 0) {
    }
}

bool Golf::anyKeyPressed() {
    const int32_t code = nextKey();
    return code != 0 && !key::isDirection(code);
}

int32_t Golf::menuKey(Vmenu& menu, int32_t key) {
    const int32_t px = stylusX();
    const int32_t py = stylusY();
    const int32_t result = menu.handleKey(key, px, py);
    if (px != 0 || py != 0) {
        clearStylus();
        repaint();
    }
    return result;
}

void Golf::turnAim(angle delta) {
    m_aim += delta;
    m_aimRun = 0;
    // The camera orbits the ball to follow the aim once it lags by more than 512,
    // revealing the new view in strips; with the desktop comforts it follows every
    // step and the view is simply redrawn.
    const angle gap = headingGap(m_aim, m_terrainView->getHeading());
    if (gap > (m_comfort ? 0 : 512)) {
        m_terrainView->moveForward(cameraBack);
        m_terrainView->setHeading(m_aim);
        m_terrainView->moveForward(-cameraBack);
        if (!m_comfort) {
            revealColumns();
        }
    }
}

void Golf::aimAt(fixed x, fixed z) {
    Vsprite& ball = *m_ballSprite;
    const fixed ballX = ball.getWorldX();
    const fixed ballZ = ball.getWorldZ();
    m_golferSprite->setWorldPosition(ballX, ball.getWorldY(), ballZ);

    fixed distance = Vector(x - ballX, 0, z - ballZ).length();
    const fixed pinX = m_pinSprite->getWorldX();
    const fixed pinZ = m_pinSprite->getWorldZ();
    if (x != pinX || z != pinZ) {
        distance += Vector(pinX - x, 0, pinZ - z).length();
    }

    Vterrain& view = *m_terrainView;
    view.setWorldPosition(ballX, ball.getWorldY(), ballZ);
    view.lookAt(x, z);
    view.setHeading(view.getHeading() + (static_cast<int32_t>(Runtime::currentTimeMillis() & 7) - 5) * 45);
    view.setEyeHeight(m_eyeHeight);
    m_cameraFloor = view.getWorldY();
    view.moveForward(-cameraBack);
    m_aim = view.getHeading();
    m_state = Aiming;

    selectClubForDistance(distance);
    m_parText->setNumber(m_round.strokes() + 1);
    if (m_club == Clubs::putter && distance < Clubs::clubTable[Clubs::putter].carry) {
        m_distanceText->setText(lit("Feet "));
        m_distanceText->setNumber(distance / Clubs::foot);
    } else {
        m_distanceText->setText(lit("Yards "));
        m_distanceText->setNumber(distance / Clubs::yard);
    }
}

void Golf::aimAtPin() {
    aimAt(m_pinSprite->getWorldX(), m_pinSprite->getWorldZ());
}

int32_t Golf::stanceFrame() const {
    return m_golferFrameBase + (m_club == Clubs::putter ? Pictures::puttStance : Pictures::stance);
}

void Golf::selectClub(int32_t index) {
    FAIRHOLM_ASSERT(Clubs::isClub(index));
    m_club = index;
    m_clubText->setText(String::copyOf(Clubs::name(index)));
    if (m_golferSprite) {
        m_golferSprite->setFrame(stanceFrame());
    }
}

int32_t Golf::stylusKey(int32_t code) {
    if (code != key::action || stylusX() <= 0) {
        return code;
    }
    const Vmenu& help = *m_playKeyHelp;
    const bool outsideHelp = m_keyHelpHidden || stylusX() < help.left() || stylusY() >= help.bottom();
    if (!outsideHelp) {
        return code;
    }
    int32_t mapped;
    if (m_golferSprite->hitTest(stylusX(), stylusY())) {
        mapped = '5';
    } else {
        mapped = stylusX() < m_ballSprite->left() ? '4' : '6';
    }
    clearStylus();
    return mapped;
}

void Golf::stepAiming() {
    // A ball at the hole's stroke limit in a round of several players is picked up.
    if (m_matchPlay && m_round.strokes() >= Match::strokeLimit(m_round.hole())) {
        hideKeyHelp(m_playKeyHelp.ptr());
        finishHole();
        return;
    }
    updateWind();
    for (;;) {
        int32_t code = stylusKey(nextKey());
        if (!m_keyHelpHidden) {
            if (!isKeyHelpOnScreen(m_playKeyHelp.ptr())) {
                m_playKeyHelp->selectByTag('5');
                showKeyHelp(m_playKeyHelp.ptr());
            }
            // On a keyboard the action key is the swing, whatever the panel highlights
            // (a tap on the panel still picks its entry).
            const bool keyboardSwing = m_comfort && isSwingKey(code) && stylusX() == 0 && stylusY() == 0;
            if (!keyboardSwing) {
                code = menuKey(*m_playKeyHelp, code);
            }
            if (isSwingKey(code)) {
                hideKeyHelp(m_playKeyHelp.ptr());
            } else if (code == key::softRight || code == '0') {
                m_keyHelpHidden = true;
                hideKeyHelp(m_playKeyHelp.ptr());
                code = 0;
            }
        }
        if (code == 0) {
            break;
        }
        Vterrain& view = *m_terrainView;
        if (code == key::left || code == '4') {
            turnAim(-128);
        } else if (code == key::right || code == '6') {
            turnAim(128);
        } else if (code == key::up || code == '2') {
            view.setWorldPosition(view.getWorldX(), view.getWorldY() + 65536, view.getWorldZ());
        } else if (code == key::down || code == '8') {
            const fixed lowered = view.getWorldY() - 65536;
            view.setWorldPosition(view.getWorldX(), lowered < m_cameraFloor ? m_cameraFloor : lowered,
                                  view.getWorldZ());
        } else if (isSwingKey(code)) {
            startSwing();
            return;
        } else if (code == key::softRight || code == '0') {
            m_keyHelpHidden = false;
            showKeyHelp(m_playKeyHelp.ptr());
        } else if (code == key::back || code == '9') {
            hideKeyHelp(m_playKeyHelp.ptr());
            m_state = MainMenu;
            return;
        } else if (code == '1') {
            hideKeyHelp(m_playKeyHelp.ptr());
            runClubMenu();
            if (!m_keyHelpHidden) {
                m_playKeyHelp->selectByTag('5');
                showKeyHelp(m_playKeyHelp.ptr());
            }
        } else if (code == '7') {
            hideKeyHelp(m_playKeyHelp.ptr());
            openMap(MapBrowse);
            return;
        } else if (code == replayKey && m_comfort) {
            runShotReplay();
        }
    }

    // No key left: the ghost ball runs out along the aim line.
    if (m_aimRun > 163829) {
        m_aimRun = 0;
    }
    int32_t elapsed = elapsedMillis();
    if (elapsed < 0 || elapsed > 100) {
        elapsed = 100;
    }
    m_aimRun += 303 * elapsed;
    Vsprite& ball = *m_ballSprite;
    const fixed x = ball.getWorldX() + fx::mul(fx::sin(m_aim), m_aimRun);
    const fixed z = ball.getWorldZ() - fx::mul(fx::cos(m_aim), m_aimRun);
    m_aimMarker->setImage(m_imagePack, Pictures::ball);
    m_aimMarker->setOpacity(0x6000);
    m_aimMarker->setMinScale(1);
    m_aimMarker->setWorldPosition(x, groundHeight(x, z) + 3640, z);
}

void Golf::startSwing() {
    m_aimRun = 0;
    Vsprite& ball = *m_ballSprite;
    m_aimMarker->setImage(m_imagePack, Pictures::shadow);
    m_aimMarker->setOpacity(0x4000);
    m_aimMarker->setMinScale(0x5000);
    m_aimMarker->setWorldPosition(ball.getWorldX(), ball.getWorldY(), ball.getWorldZ());
    const int32_t width = getWidth();
    const int32_t height = getHeight();
    m_meterPanel->setPosition(width / 4 + width / 2 - 12, height - 108);
    addChild(m_meterPanel);
    m_ballBody->setVelocity(0, 0, 0);
    m_power = 0;
    waitFrame(0);
    stepSwingMeter();
    m_state = SwingMeter;
}

void Golf::stepSwingMeter() {
    const int32_t code = nextKey();
    if (code == key::softRight) {
        removeChild(m_meterPanel.ptr());
        m_state = Aiming;
        return;
    }
    int32_t elapsed = elapsedMillis();
    if (elapsed > 50) {
        elapsed = 50;
    }
    int32_t next = m_power + 3072 * elapsed;
    if (next > Clubs::fullPower) {
        next = Clubs::fullPower;
    }
    if (m_power != 0 && (m_power >= Clubs::fullPower || isSwingKey(code))) {
        removeChild(m_meterPanel.ptr());
        if (!isSwingKey(code)) {
            m_aim += static_cast<int32_t>(Runtime::currentTimeMillis() & 0x7FF) - 0x400;
        }
        m_state = m_club == Clubs::putter ? Putt : FullSwing;
        return;
    }
    m_power = next;
    m_meterBar->setSize(24, next >> 16);
    m_meterBar->setPosition(0, 100 - (next >> 16));
    m_meterBar->setColour(0xFFFF8040);
}

void Golf::runClubMenu() {
    m_clubMenu->selectIndex(m_club);
    showKeyHelp(m_clubMenu.ptr());
    while (isRunning()) {
        if (applyPendingSize()) {
            showKeyHelp(m_clubMenu.ptr());
        }
        repaint();
        waitFrame(16);
        const int32_t result = menuKey(*m_clubMenu, nextKey());
        if (result != 0) {
            if (result != '0') {
                selectClub(m_clubMenu->getSelectedIndex());
            }
            break;
        }
    }
    hideKeyHelp(m_clubMenu.ptr());
}

void Golf::showGolferFrame(int32_t frame) {
    if (!isRunning() || (m_state != BallInFlight && m_state != FullSwing && m_state != Putt)) {
        return;
    }
    m_golferSprite->releaseImage();
    m_golferSprite->setFrame(frame);
    if (m_ballBody->velocity().fastLength() == 0) {
        repaint();
        waitFrame(96);
        return;
    }
    int32_t budget = 96;
    for (int32_t i = 0; i < 6; ++i) {
        if (m_state == BallInFlight) {
            stepBall();
        }
        repaint();
        waitFrame(16);
        budget -= elapsedMillis();
        if (budget < 0) {
            waitFrame(0);
            break;
        }
    }
}

void Golf::strikeBall() {
    const int32_t power = m_power;
    m_state = BallInFlight;
    playSound(lit("hit"));
    m_ballRules.restartStillness();
    m_round.addStroke();
    const Vsprite& ball = *m_ballSprite;
    BallRules::strike(*m_ballBody, ball.getWorldX(), ball.getWorldY(), ball.getWorldZ(), m_club, power, m_aim,
                      m_wind);
    m_lastLie->set(*m_ballBody->getPosition());
    // The shot is kept as it flies, from the camera it is played with.
    m_shotPath.clear();
    m_keepingShot = true;
    m_shotCamera[0] = m_terrainView->getWorldX();
    m_shotCamera[1] = m_terrainView->getWorldY();
    m_shotCamera[2] = m_terrainView->getWorldZ();
    m_shotHeading = m_terrainView->getHeading();
    m_shotFinishFrame =
        m_golferFrameBase + (m_club == Clubs::putter ? Pictures::puttFinish : Pictures::finish);
    keepShotFrame();
    if (journalled()) {
        m_journal->stroke(fingerprint());
    }
}

}  // namespace fairholm
