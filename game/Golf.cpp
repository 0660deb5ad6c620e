// Life cycle of the game object, the size hand-over between the threads, and the run
// loop with its dispatch on the game state.

#include "game/Golf.h"

#include "engine/sprite/EngineKey.h"
#include "game/Pictures.h"
#include "game/SavedState.h"
#include "runtime/Runtime.h"

namespace fairholm {

namespace {

fixed scaleForScreen(int32_t width, int32_t height) {
    return 64 * (height > width ? height : width);
}

uint64_t packSize(int32_t width, int32_t height) {
    return (static_cast<uint64_t>(static_cast<uint32_t>(width)) << 32) | static_cast<uint32_t>(height);
}

}  // namespace

Golf::Golf()
    : m_ballBody(make<Vphob>()),
      m_lastLie(make<Vector>()),
      m_courseReader(make<Vswf>()),
      m_savedState(newByteArray(SavedState::size)) {}

// Members are released in reverse declaration order by their handles; nothing is saved.
Golf::~Golf() = default;

void Golf::setDisplay(Ref<Vdisplay> display) {
    Viewport::setDisplay(std::move(display));
    m_state = TitleSetup;
}

// Called by the window on the interface thread. Only the first call (made by start-up,
// before the game thread exists) sizes the viewport at once; later calls record the
// request, compared against the last one rather than against the viewport, whose size
// belongs to the game thread.
void Golf::setSize(int32_t width, int32_t height) {
    const uint64_t size = packSize(width, height);
    const uint64_t previous = m_requestedSize.load(std::memory_order_acquire);
    if (size == previous) {
        return;
    }
    m_requestedSize.store(size, std::memory_order_release);
    if (previous == 0) {
        m_viewScale.store(scaleForScreen(width, height), std::memory_order_relaxed);
        Viewport::setSize(width, height);
    }
}

bool Golf::applyPendingSize() {
    uint64_t requested = m_requestedSize.load(std::memory_order_acquire);
    if (journalled()) {
        requested = m_journal->requestedSize(requested);
    }
    const auto width = static_cast<int32_t>(requested >> 32);
    const auto height = static_cast<int32_t>(requested & 0xFFFFFFFF);
    if (requested == 0 || (width == getWidth() && height == getHeight())) {
        return false;
    }
    m_viewScale.store(scaleForScreen(width, height), std::memory_order_relaxed);
    hideKeyHelp(m_playKeyHelp.ptr());
    hideKeyHelp(m_mapKeyHelp.ptr());
    hideKeyHelp(m_mainMenu.ptr());
    hideKeyHelp(m_clubMenu.ptr());
    if (m_titleSprite) {
        m_titleSprite->setPosition(width >> 1, 64);
    }
    Viewport::setSize(width, height);
    if (m_terrainView) {
        m_terrainView->setSize(width, height);
        setupCamera();
    }
    if (m_mapSprite) {
        m_mapSprite->setScale(scaleForScreen(width, height));
        clampMap();
    }
    return true;
}

void Golf::run() {
    if (m_journal && m_journalThread.load(std::memory_order_acquire) == std::thread::id{}) {
        m_journalThread.store(std::this_thread::get_id(), std::memory_order_release);
        m_journal->begin(*this);
    }
    if (!m_imagePack) {
        m_imagePack = make<Vilib>(Ref<Vdisplay>(display()), *lit("golf"));
        buildScene();
    }
    while (isRunning()) {
        applyPendingSize();
        if (m_comfort && swallowHeldKeys()) {
            flushKeys();
        }
        switch (m_state) {
            case BallInFlight:
                stepFlightView();
                break;
            case StartHole:
                startHole();
                break;
            case MapBrowse:
                runMapView();
                break;
            case WaterSplash:
                stepWaterSplash();
                break;
            case Aiming:
                stepAiming();
                break;
            case TitleSetup:
                setupTitle();
                break;
            case BallOnMap:
                stepBallOnMap();
                break;
            case MainMenu:
                runMainMenu();
                break;
            case Scorecard:
                if (stepScorecard()) {
                    continue;  // the frame that ends the scorecard has no frame end
                }
                break;
            case SwingMeter:
                stepSwingMeter();
                break;
            case FullSwing:
                playFullSwing();
                break;
            case Putt:
                playPutt();
                break;
            default:
                break;
        }
        if (m_comfort) {
            fastForward();
        }
        repaint();
        waitFrame(16);
    }
}

int32_t Golf::nextKey() {
    const int32_t code = Viewport::nextKey();
    return journalled() ? m_journal->key(code) : code;
}

bool Golf::isKeyDown(int32_t code) const {
    const bool down = Viewport::isKeyDown(code);
    return journalled() ? m_journal->keyDown(code, down) : down;
}

bool Golf::isRunning() const {
    const bool running = Viewport::isRunning();
    return journalled() ? m_journal->running(running) : running;
}

int32_t Golf::stylusX() const {
    return journalled() ? m_journal->pointerX(pointerX()) : pointerX();
}

int32_t Golf::stylusY() const {
    return journalled() ? m_journal->pointerY(pointerY()) : pointerY();
}

void Golf::clearStylus() {
    setPointer(0, 0);
    if (journalled()) {
        m_journal->pointerSet(0, 0);
    }
}

uint32_t Golf::fingerprint() const {
    const uint64_t frame = frameHash();
    const auto score =
        static_cast<uint32_t>(m_round.hole() << 24 ^ m_round.strokes() << 16 ^ m_round.total());
    return static_cast<uint32_t>(frame ^ frame >> 32) ^ score;
}

bool Golf::isFastForwardHeld() const {
    return isKeyDown(key::action) || isKeyDown(key::fast);
}

void Golf::fastForward() {
    // The frames of a ball in play are computed as always, each with the frame's time;
    // only fewer of them are drawn.
    for (int32_t frame = 1; frame < fastForwardFrames && isFastForwardHeld(); ++frame) {
        if (m_state == BallInFlight) {
            stepFlightView();
        } else if (m_state == BallOnMap) {
            stepBallOnMap();
        } else {
            break;
        }
        m_fastForwarded = true;
    }
}

bool Golf::swallowHeldKeys() {
    // A key held to fast-forward keeps repeating after the ball stops: until it is let
    // go, its presses must not swing or take the scorecard away.
    if (m_fastForwarded && !isFastForwardHeld()) {
        m_fastForwarded = false;
    }
    return m_fastForwarded && m_state != BallInFlight && m_state != BallOnMap;
}

void Golf::dismantle() {
    removeFromParent();
    Vsprite::dismantle();
    for (const Ref<Vsprite>& made : m_parts) {
        made->removeFromParent();
        made->dismantle();
    }
    m_parts.clear();
}

void Golf::keepPart(Vsprite* sprite) {
    // Sprites that nothing but this list holds any more are gone for the game: they are
    // let go here, so that the list holds what may still be linked somewhere.
    std::erase_if(m_parts, [](const Ref<Vsprite>& made) { return made->refCount() == 1; });
    m_parts.emplace_back(sprite);
}

void Golf::exitGame() {
    stop();
    if (display()) {
        display()->requestExit();
    }
}

int32_t Golf::elapsedMillis() const {
    return frameDelta();
}

bool Golf::isBallInView() {
    Vsprite& ball = *m_ballSprite;
    if (ball.hiddenPixels() == 0 && ball.right() > 0 && ball.left() < getWidth() && ball.top() > -20) {
        return true;
    }
    return m_aimMarker->hiddenPixels() == 0 && isOnScreen(*m_aimMarker);
}

void Golf::stepFlightView() {
    const bool inView = isBallInView();
    const int32_t key = nextKey();
    if (key == key::action || key == '7' || key == key::space || !inView) {
        openMap(BallOnMap);
        return;
    }
    if (!stepBall() && m_state != Scorecard) {
        aimAtPin();
        revealColumns();
    }
}

void Golf::stepWaterSplash() {
    const fixed opacity = m_ballMarker->getOpacity();
    if (opacity - 512 < 0) {
        m_ballMarker->setOpacity(fx::one);
        waitFrame(1000);
        if (m_comfort && m_messageText) {
            m_messageText->removeFromParent();
            m_messageText = nullptr;
        }
        m_state = Aiming;
        closeMapToTerrain();
        return;
    }
    m_ballMarker->setOpacity(opacity - 512);
    m_ballMarker->setPositionFixed(m_ballMarker->getX(), m_ballMarker->getY() + 2048);
}

void Golf::setupTitle() {
    setColour(0xFF005995);
    setGradientColour(0xFF3399FF);
    m_titleSprite = part<Vsprite>();
    m_titleSprite->setImage(m_imagePack, Pictures::title);
    m_titleSprite->setPosition(getWidth() >> 1, 64);
    addChild(m_titleSprite);
    m_state = MainMenu;
}

void Golf::stepBallOnMap() {
    if (!stepBall()) {
        if (m_state != Scorecard) {
            aimAtPin();
            m_terrainView->refreshBackground();
            m_state = Aiming;
            closeMapToTerrain();
        }
        return;
    }
    if (!isOnScreen(*m_ballMarker) && !isOnScreen(*m_shadowMarker)) {
        fitMap();
        keepMarkersInSight(true);
    }
}

bool Golf::stepScorecard() {
    // Any key at all takes the scorecard away with the desktop comforts; the handset
    // game lets the direction keys pass.
    if (m_comfort ? nextKey() == 0 : !anyKeyPressed()) {
        return false;
    }
    removeChild(m_scorecard.ptr());
    if (m_matchCard) {
        removeChild(m_matchCard.ptr());
    }
    if (m_messageText) {
        m_messageText->removeFromParent();
        m_messageText = nullptr;
    }
    if (m_matchPlay ? m_match.roundOver() : m_round.hole() == 0) {
        m_state = TitleSetup;
        removeChild(m_mapSprite.ptr());
        removeChild(m_terrainView.ptr());
    } else {
        removeChild(m_mapSprite.ptr());
        m_state = StartHole;
    }
    flushKeys();
    return true;
}

void Golf::playFullSwing() {
    const int32_t base = m_golferFrameBase;
    for (int32_t frame = Pictures::backswing; frame <= Pictures::swingSound; ++frame) {
        showGolferFrame(base + frame);
    }
    playSound(lit("swing"));
    for (int32_t frame = Pictures::swingSound + 1; frame <= Pictures::impact; ++frame) {
        showGolferFrame(base + frame);
    }
    if (!isRunning()) {
        return;
    }
    strikeBall();
    for (int32_t frame = Pictures::impact + 1; frame <= Pictures::finish; ++frame) {
        showGolferFrame(base + frame);
    }
}

void Golf::playPutt() {
    const int32_t base = m_golferFrameBase;
    showGolferFrame(base + Pictures::puttBack);
    strikeBall();
    for (int32_t frame = Pictures::puttBack + 1; frame <= Pictures::puttFinish; ++frame) {
        showGolferFrame(base + frame);
    }
}

}  // namespace fairholm
