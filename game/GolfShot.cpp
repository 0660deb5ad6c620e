// Everything between two shots: aiming, the camera's raise and lower, the club menu,
// the power meter, the swing animation and the moment the club meets the ball.

#include "game/Golf.h"
#include "runtime/Runtime.h"

namespace fairholm {

namespace {

bool isSwingKey(int32_t key) {
    return key == 5 || key == '5' || key == ' ' || key == 10;
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
    const int32_t key = nextKey();
    return key != 0 && (key < 1 || key > 4);
}

int32_t Golf::menuKey(Vmenu& menu, int32_t key) {
    const int32_t px = pointerX();
    const int32_t py = pointerY();
    const int32_t result = menu.handleKey(key, px, py);
    if (px != 0 || py != 0) {
        setPointer(0, 0);
        repaint();
    }
    return result;
}

void Golf::turnAim(angle delta) {
    m_aim += delta;
    m_aimRun = 0;
    if (headingGap(m_aim, m_terrainView->getHeading()) > 512) {
        m_terrainView->moveForward(cameraBack);
        m_terrainView->setHeading(m_aim);
        m_terrainView->moveForward(-cameraBack);
        revealColumns();
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
    m_parText->setNumber(m_strokes + 1);
    if (m_club == putter && distance < clubTable[putter].carry) {
        m_distanceText->setText(lit("Feet "));
        m_distanceText->setNumber(distance / foot);
    } else {
        m_distanceText->setText(lit("Yards "));
        m_distanceText->setNumber(distance / yard);
    }
}

void Golf::aimAtPin() {
    aimAt(m_pinSprite->getWorldX(), m_pinSprite->getWorldZ());
}

void Golf::selectClub(int32_t index) {
    m_club = index;
    m_clubText->setText(String::copyOf(clubTable[index].label + 2));
    if (m_golferSprite) {
        m_golferSprite->setFrame(m_golferFrameBase + (index == putter ? 17 : 0));
    }
}

int32_t Golf::stylusKey(int32_t key) {
    if (key != 5 || pointerX() <= 0) {
        return key;
    }
    const Vmenu& help = *m_playKeyHelp;
    const bool outsideHelp = m_keyHelpHidden || pointerX() < help.left() || pointerY() >= help.bottom();
    if (!outsideHelp) {
        return key;
    }
    int32_t mapped;
    if (m_golferSprite->hitTest(pointerX(), pointerY())) {
        mapped = '5';
    } else {
        mapped = pointerX() < m_ballSprite->left() ? '4' : '6';
    }
    setPointer(0, 0);
    return mapped;
}

void Golf::stepAiming() {
    updateWind();
    for (;;) {
        int32_t key = stylusKey(nextKey());
        if (!m_keyHelpHidden) {
            if (!isKeyHelpOnScreen(m_playKeyHelp.ptr())) {
                m_playKeyHelp->selectByTag('5');
                showKeyHelp(m_playKeyHelp.ptr());
            }
            key = menuKey(*m_playKeyHelp, key);
            if (isSwingKey(key)) {
                hideKeyHelp(m_playKeyHelp.ptr());
            } else if (key == 6 || key == '0') {
                m_keyHelpHidden = true;
                hideKeyHelp(m_playKeyHelp.ptr());
                key = 0;
            }
        }
        if (key == 0) {
            break;
        }
        Vterrain& view = *m_terrainView;
        if (key == 1 || key == '4') {
            turnAim(-128);
        } else if (key == 2 || key == '6') {
            turnAim(128);
        } else if (key == 3 || key == '2') {
            view.setWorldPosition(view.getWorldX(), view.getWorldY() + 65536, view.getWorldZ());
        } else if (key == 4 || key == '8') {
            const fixed lowered = view.getWorldY() - 65536;
            view.setWorldPosition(view.getWorldX(), lowered < m_cameraFloor ? m_cameraFloor : lowered,
                                  view.getWorldZ());
        } else if (isSwingKey(key)) {
            startSwing();
            return;
        } else if (key == 6 || key == '0') {
            m_keyHelpHidden = false;
            showKeyHelp(m_playKeyHelp.ptr());
        } else if (key == 7 || key == '9') {
            hideKeyHelp(m_playKeyHelp.ptr());
            m_state = MainMenu;
            return;
        } else if (key == '1') {
            hideKeyHelp(m_playKeyHelp.ptr());
            runClubMenu();
            if (!m_keyHelpHidden) {
                m_playKeyHelp->selectByTag('5');
                showKeyHelp(m_playKeyHelp.ptr());
            }
        } else if (key == '7') {
            hideKeyHelp(m_playKeyHelp.ptr());
            openMap(MapBrowse);
            return;
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
    m_aimMarker->setImage(m_imagePack, 11);
    m_aimMarker->setOpacity(0x6000);
    m_aimMarker->setMinScale(1);
    m_aimMarker->setWorldPosition(x, groundHeight(x, z) + 3640, z);
}

void Golf::startSwing() {
    m_aimRun = 0;
    Vsprite& ball = *m_ballSprite;
    m_aimMarker->setImage(m_imagePack, 12);
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
    const int32_t key = nextKey();
    if (key == 6) {
        removeChild(m_meterPanel.ptr());
        m_state = Aiming;
        return;
    }
    int32_t elapsed = elapsedMillis();
    if (elapsed > 50) {
        elapsed = 50;
    }
    int32_t next = m_power + 3072 * elapsed;
    if (next > fullPower) {
        next = fullPower;
    }
    if (m_power != 0 && (m_power >= fullPower || isSwingKey(key))) {
        removeChild(m_meterPanel.ptr());
        if (!isSwingKey(key)) {
            m_aim += static_cast<int32_t>(Runtime::currentTimeMillis() & 0x7FF) - 0x400;
        }
        m_state = m_club == putter ? Putt : FullSwing;
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

    const fixed wind = fx::mul(m_windStrength, 98418);  // 3.0035 x the strength
    m_ballBody->wind().set(fx::mul(wind, fx::sin(m_windDirection)), 0,
                           -fx::mul(wind, fx::cos(m_windDirection)));

    m_stillFrames = 0;
    m_strokes += 1;

    const Launch launch = launchFor(m_club, power);
    Vsprite& ball = *m_ballSprite;
    m_ballBody->setPosition(ball.getWorldX(), ball.getWorldY(), ball.getWorldZ());
    m_lastLie->set(*m_ballBody->getPosition());
    m_ballBody->setVelocity(fx::mul(fx::sin(m_aim), launch.h), launch.vy, -fx::mul(fx::cos(m_aim), launch.h));
}

}  // namespace fairholm
