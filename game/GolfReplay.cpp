// The instant replay: the frames of each shot are kept as it flies, and shown again on
// request from three cameras, after which everything the replay moved is put back.

#include "engine/sprite/EngineKey.h"
#include "game/Clubs.h"
#include "game/Golf.h"
#include "game/Pictures.h"

namespace fairholm {

namespace {

// The side camera stands off the middle of the flight by a third of the shot's length
// (at least this), the pin camera this far beyond the pin, both a little above the
// player's eye; both turn to keep the ball in the middle of the picture, as the
// following camera does from where the shot was played.
constexpr fixed besideAtLeast = 30 * Clubs::yard;
constexpr fixed behindPin = 20 * Clubs::yard;
constexpr fixed raised = 5 * Clubs::yard;
constexpr fixed courseEdge = 512 * Clubs::yard;
constexpr fixed underground = 1000 * Clubs::yard;
// Game milliseconds between the cameras, and the slow motion's stretch.
constexpr int32_t betweenCameras = 500;
constexpr int32_t slowMotion = 4;

fixed insideCourse(fixed v) {
    return v < Clubs::yard ? Clubs::yard : v > courseEdge - Clubs::yard ? courseEdge - Clubs::yard : v;
}

}  // namespace

void Golf::keepShotFrame() {
    if (!m_keepingShot) {
        return;
    }
    if (m_shotPath.size() >= longestShot) {
        m_keepingShot = false;
        return;
    }
    const Vector& p = *m_ballBody->getPosition();
    m_shotPath.push_back({p.x, p.y, p.z, elapsedMillis()});
}

void Golf::placeReplayCamera(ReplayCamera camera) {
    Vterrain& view = *m_terrainView;
    const ShotFrame& start = m_shotPath.front();
    const ShotFrame& end = m_shotPath.back();
    const fixed eye = m_eyeHeight + raised;
    switch (camera) {
        case ReplayCamera::Following:
            view.setWorldPosition(m_shotCamera[0], m_shotCamera[1], m_shotCamera[2]);
            view.setHeading(m_shotHeading);
            return;
        case ReplayCamera::Beside: {
            const fixed dx = end.x - start.x;
            const fixed dz = end.z - start.z;
            fixed length = Vector(dx, 0, dz).length();
            if (length < Clubs::yard) {
                length = Clubs::yard;
            }
            fixed off = length / 3;
            if (off < besideAtLeast) {
                off = besideAtLeast;
            }
            // To the right of the flight, facing its middle.
            const fixed midX = start.x + (dx >> 1);
            const fixed midZ = start.z + (dz >> 1);
            const fixed x = insideCourse(midX - fx::mul(fx::div(dz, length), off));
            const fixed z = insideCourse(midZ + fx::mul(fx::div(dx, length), off));
            view.placeCamera(x, eye, z);
            return;
        }
        case ReplayCamera::BehindPin: {
            const fixed pinX = m_pinSprite->getWorldX();
            const fixed pinZ = m_pinSprite->getWorldZ();
            const fixed dx = pinX - start.x;
            const fixed dz = pinZ - start.z;
            fixed length = Vector(dx, 0, dz).length();
            if (length < Clubs::yard) {
                length = Clubs::yard;
            }
            const fixed x = insideCourse(pinX + fx::mul(fx::div(dx, length), behindPin));
            const fixed z = insideCourse(pinZ + fx::mul(fx::div(dz, length), behindPin));
            view.placeCamera(x, eye, z);
            return;
        }
    }
}

bool Golf::showShotFrom(ReplayCamera camera, bool& slow) {
    placeReplayCamera(camera);
    // The golfer is seen from his own camera only: from afar his picture keeps a size
    // that would make him a giant on the horizon. Elsewhere he stands far underground.
    const ShotFrame& start = m_shotPath.front();
    const fixed stand =
        groundHeight(start.x, start.z) - (camera == ReplayCamera::Following ? 0 : underground);
    m_golferSprite->setWorldPosition(start.x, stand, start.z);
    Vterrain& view = *m_terrainView;
    for (const ShotFrame& frame : m_shotPath) {
        if (!isRunning()) {
            return false;
        }
        const int32_t code = nextKey();
        if (code == key::back || code == key::softRight || code == '0' || code == '9') {
            return false;
        }
        if (code == replayKey) {
            return true;
        }
        if (code == key::action || code == '5' || code == key::down || code == '8') {
            slow = !slow;
        }
        const fixed ground = groundHeight(frame.x, frame.z);
        m_ballSprite->setWorldPosition(frame.x, frame.y, frame.z);
        m_aimMarker->setWorldPosition(frame.x, ground, frame.z);
        view.lookAt(frame.x, frame.z);
        repaint();
        waitFrame(frame.millis * (slow ? slowMotion : 1));
    }
    waitFrame(betweenCameras);
    return true;
}

void Golf::runShotReplay() {
    if (!hasShotToReplay() || !m_terrainView || !m_ballSprite || !m_aimMarker || !m_golferSprite) {
        return;
    }
    if (m_replayWatcher) {
        repaint();
        m_replayWatcher(true);
    }
    // Everything the replay moves, to be put back as it was.
    Vterrain& view = *m_terrainView;
    const fixed camera[3] = {view.getWorldX(), view.getWorldY(), view.getWorldZ()};
    const angle heading = view.getHeading();
    const fixed ball[3] = {m_ballSprite->getWorldX(), m_ballSprite->getWorldY(), m_ballSprite->getWorldZ()};
    Vsprite& marker = *m_aimMarker;
    const fixed markerAt[3] = {marker.getWorldX(), marker.getWorldY(), marker.getWorldZ()};
    const int32_t markerFrame = marker.getFrame();
    const fixed markerOpacity = marker.getOpacity();
    const fixed markerMinScale = marker.minScale();
    Vsprite& golfer = *m_golferSprite;
    const fixed golferAt[3] = {golfer.getWorldX(), golfer.getWorldY(), golfer.getWorldZ()};
    const int32_t golferFrame = golfer.getFrame();
    Vsprite* help = m_playKeyHelp.ptr();
    const fixed helpX = help ? help->getX() : 0;
    const fixed helpY = help ? help->getY() : 0;

    // The scene of the shot: the golfer in the finish where the ball was struck, the
    // ball's shadow under it, the key help out of the way, a caption.
    if (help) {
        help->setPosition(-help->getWidth() - getWidth(), help->getY() >> 15);
    }
    golfer.setFrame(m_shotFinishFrame);
    marker.setImage(m_imagePack, Pictures::shadow);
    marker.setOpacity(0x4000);
    marker.setMinScale(0x5000);
    if (!m_replayCaption) {
        m_replayCaption = part<Vtext>(lit("Replay"));
    }
    appendChild(m_replayCaption);
    m_replayCaption->setPosition(2, getHeight() - m_replayCaption->getHeight() - 2);

    bool slow = false;
    for (const ReplayCamera camera :
         {ReplayCamera::Following, ReplayCamera::Beside, ReplayCamera::BehindPin}) {
        if (!showShotFrom(camera, slow)) {
            break;
        }
    }

    m_replayCaption->removeFromParent();
    marker.setImage(m_imagePack, markerFrame);
    marker.setOpacity(markerOpacity);
    marker.setMinScale(markerMinScale);
    marker.setWorldPosition(markerAt[0], markerAt[1], markerAt[2]);
    golfer.setWorldPosition(golferAt[0], golferAt[1], golferAt[2]);
    golfer.setFrame(golferFrame);
    m_ballSprite->setWorldPosition(ball[0], ball[1], ball[2]);
    if (help) {
        help->setPositionFixed(helpX, helpY);
    }
    view.setWorldPosition(camera[0], camera[1], camera[2]);
    view.setHeading(heading);
    view.refreshBackground();
    invalidateRect(0, 0, getWidth(), getHeight());
    repaint();
    if (m_replayWatcher) {
        m_replayWatcher(false);
    }
}

}  // namespace fairholm
