#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <thread>
#include <utility>
#include <vector>

#include "engine/render3d/Vector.h"
#include "engine/render3d/Vphob.h"
#include "engine/render3d/VpolyTerrain.h"
#include "engine/render3d/Vpolyn.h"
#include "engine/render3d/Vswf.h"
#include "engine/render3d/Vterrain.h"
#include "engine/sprite/Vdisplay.h"
#include "engine/sprite/Viewport.h"
#include "engine/sprite/Vilib.h"
#include "engine/sprite/Vmenu.h"
#include "engine/sprite/Vsprite.h"
#include "engine/sprite/Vtext.h"
#include "game/BallRules.h"
#include "game/Journal.h"
#include "game/Match.h"
#include "game/Pictures.h"
#include "game/Round.h"
#include "game/Wind.h"
#include "runtime/Array.h"
#include "runtime/Fixed.h"
#include "runtime/Ref.h"
#include "runtime/String.h"

namespace fairholm {

// The game: a root viewport that owns the whole scene and runs the game loop. It
// presents the rules of play, which live apart from it and draw nothing: the clubs
// (Clubs), the course (Course), the round and its scoring (Round), the saved record
// (SavedState), the ball in play (BallRules) and the wind (Wind).
//
// One object, its work split over files by concern:
//   Golf.cpp        life cycle, size hand-over, the run loop and its state dispatch
//   GolfScene.cpp   scene construction (fonts, menus, panels, HUD, meter)
//   GolfCourse.cpp  course packs and the club for a distance
//   GolfShot.cpp    aiming, the club menu, the power meter, the swing, the strike
//   GolfFlight.cpp  ball flight, rest, holing and penalties
//   GolfHole.cpp    starting and finishing holes, scoring, the saved record
//   GolfCamera.cpp  the 3-D camera, the course map and sprite placement
//   GolfMenu.cpp    the main menu, help, about, sound and golfer options
//   GolfHud.cpp     head-up display, wind, key help and messages
//   GolfReplay.cpp  the instant replay of the last shot (a desktop comfort)
//   GolfMatch.cpp   two to four players taking turns (a desktop comfort)
//
// Threads: the interface thread only calls keyPressed/keyReleased, writes the pointer
// position and calls setSize (which records a request after the first call); everything
// else runs on the game thread inside run().
class Golf : public Viewport {
public:
    // Game states (the value of `state`).
    enum State : int32_t {
        BallInFlight = 0,
        StartHole = 2,
        MapBrowse = 4,
        WaterSplash = 5,
        Aiming = 6,
        TitleSetup = 7,
        BallOnMap = 8,
        MainMenu = 9,
        Scorecard = 10,
        SwingMeter = 11,
        FullSwing = 12,
        Putt = 13,
    };

    // Fixed units the camera stands behind the ball (11.333 yards).
    static constexpr fixed cameraBack = 371348;
    static constexpr uint32_t panelColour = 0x80008080;
    // Frames of a ball in play computed for each frame shown while fast-forwarding.
    static constexpr int32_t fastForwardFrames = 4;
    // Pixels around a map marker that a panel keeps clear of.
    static constexpr int32_t markerMargin = 6;

    Golf();
    ~Golf() override;

    // Viewport overrides.
    void setSize(int32_t width, int32_t height) override;
    void setDisplay(Ref<Vdisplay> display) override;
    void run() override;

    // Applies a size asked for by the window; true when the screen was re-laid.
    bool applyPendingSize();

    // What the game observes goes through `journal` (a recording, or a playback) from
    // the start of the loop on; set before the display, with the journal as the
    // process clock (GameSession does both).
    void setJournal(Ref<Journal> journal) { m_journal = std::move(journal); }
    Journal* journal() const { return m_journal.ptr(); }
    // A digest of the frame and the score, taken at each stroke.
    uint32_t fingerprint() const;

    // Observations, through the journal on the game thread.
    int32_t nextKey() override;
    bool isKeyDown(int32_t code) const override;
    bool isRunning() const override;

    // Shot control.
    virtual void turnAim(angle delta);
    virtual void strikeBall();
    virtual bool stepBall();
    virtual void selectClub(int32_t index);
    virtual void selectClubForDistance(fixed distance);
    virtual void flushKeys();
    virtual void stepSwingMeter();
    virtual void showGolferFrame(int32_t frame);
    virtual void startHole();
    virtual void aimAt(fixed x, fixed z);
    virtual void aimAtPin();
    virtual void runMapView();
    virtual void stepAiming();
    virtual bool anyKeyPressed();
    virtual void runClubMenu();
    virtual int32_t menuKey(Vmenu& menu, int32_t key);
    virtual void runMainMenu();
    virtual void buildScene();
    virtual void fillMainMenu(Ref<Vmenu> menu);
    virtual void hideKeyHelp(Vsprite* panel);
    virtual void showKeyHelp(Vsprite* panel);
    virtual void showMessage(Ref<String> text);
    virtual void closeMap();
    virtual void clampMap();
    virtual void openMap(int32_t newState);
    virtual void fitMap();
    virtual void zoomMap(fixed factor);
    virtual void closeMapToTerrain();
    virtual int32_t getSavedShort(int32_t offset);
    virtual void saveState();
    virtual void setSavedShort(int32_t offset, int32_t value);
    virtual void finishHole();
    virtual void createTerrainView();
    virtual void setupCamera();
    virtual void playSound(Ref<String> name);
    virtual void setSoundOn(bool on);
    virtual Ref<Vsprite> addMapSprite(Vsprite& parent, int32_t picture, int32_t x, int32_t y, int32_t tag,
                                      fixed minScale);
    virtual Ref<Vsprite> addGroundSprite(int32_t picture, int32_t x, int32_t z, fixed size, fixed minScale);
    virtual Ref<Vsprite> addViewSprite(int32_t picture, fixed dx, fixed dz, fixed size, fixed minScale);
    virtual void placeOnGround(Vsprite& sprite, int32_t picture, fixed x, fixed z, fixed size,
                               fixed minScale);
    virtual void loadCoursePack(Ref<String> name);
    virtual void updateWind();

    // Desktop comforts (off by default, the game as a handset plays it): the action key
    // swings whatever the play-key panel highlights, the camera follows every aim step
    // without the strip reveal, the map and HUD keep the pin and ball in sight, any key
    // takes the scorecard away, and holding the action key fast-forwards a ball in play.
    // Set by the shell before the game thread starts.
    void setComfort(bool on) { m_comfort = on; }
    bool comfort() const { return m_comfort; }

    // The instant replay: the last shot of the hole shown again from the camera that
    // followed it, from beside its flight and from behind the pin, then aiming again
    // exactly as before. A desktop comfort; the handset game ignores its key while aiming.
    static constexpr int32_t replayKey = '3';
    static constexpr size_t longestShot = 4096;  // frames of a shot kept for the replay
    void runShotReplay();
    bool hasShotToReplay() const { return m_shotPath.size() >= 2; }
    size_t shotFrames() const { return m_shotPath.size(); }
    // Test hook: called as a replay starts (true, the screen just drawn) and once all it
    // moved is back in place and drawn again (false).
    void setReplayWatcher(std::function<void(bool)> watcher) { m_replayWatcher = std::move(watcher); }

    // Two to four players taking turns (a desktop comfort): the main menu's players
    // entry after the seven of the handset game, a screen for the players' names and
    // golfers, their round (Match), saved in its own file beside the one-player record.
    int32_t playersChoice() const { return m_playersChoice; }
    bool matchPlay() const { return m_matchPlay; }
    const Match& match() const { return m_match; }
    Vsprite* matchCard() const { return m_matchCard.ptr(); }
    Vtext* playersEntry() const { return m_playersEntry.ptr(); }

    // Ends the program (the main menu's "Exit" and the back key): stops the loop and
    // asks the shell to close.
    void exitGame();
    // Takes the scene apart once the loop has ended, so that releasing the game frees
    // everything it built (sprites hold their parents): the screen's tree and every part
    // the game made, wherever it is.
    void dismantle();
    // Lets a stopped loop run again (tests and tools stop and restart it).
    void resume() { m_stopped.store(0, std::memory_order_release); }

    // State and members that tests and shells look at.
    int32_t state() const { return m_state; }
    int32_t holeIndex() const { return m_round.hole(); }
    int32_t strokes() const { return m_round.strokes(); }
    int32_t roundTotal() const { return m_round.total(); }
    int32_t club() const { return m_club; }
    angle aim() const { return m_aim; }
    int32_t power() const { return m_power; }
    int32_t golferFrameBase() const { return m_golferFrameBase; }
    bool soundOff() const { return m_soundOff; }
    bool keyHelpHidden() const { return m_keyHelpHidden; }
    bool saveFailed() const { return m_saveFailed; }
    fixed viewScale() const { return m_viewScale.load(std::memory_order_relaxed); }
    fixed eyeHeight() const { return m_eyeHeight; }
    fixed cameraFloor() const { return m_cameraFloor; }
    fixed windStrength() const { return m_wind.strength(); }
    angle windDirection() const { return m_wind.direction(); }
    const ByteArray& savedState() const { return m_savedState; }
    Vilib* imagePack() const { return m_imagePack.ptr(); }
    Vphob* ballBody() const { return m_ballBody.ptr(); }
    Vector* lastLie() const { return m_lastLie.ptr(); }
    Vterrain* terrainView() const { return m_terrainView.ptr(); }
    VpolyTerrain* terrain() const { return m_terrain.ptr(); }
    Vsprite* mapSprite() const { return m_mapSprite.ptr(); }
    Vsprite* scorecard() const { return m_scorecard.ptr(); }
    Vsprite* ballSprite() const { return m_ballSprite.ptr(); }
    Vsprite* aimMarker() const { return m_aimMarker.ptr(); }
    Vsprite* ballMarker() const { return m_ballMarker.ptr(); }
    Vsprite* shadowMarker() const { return m_shadowMarker.ptr(); }
    Vsprite* golferSprite() const { return m_golferSprite.ptr(); }
    Vsprite* pinSprite() const { return m_pinSprite.ptr(); }
    Vsprite* titleSprite() const { return m_titleSprite.ptr(); }
    Vsprite* hudPanel() const { return m_hudPanel.ptr(); }
    Vsprite* meterPanel() const { return m_meterPanel.ptr(); }
    Vsprite* meterBar() const { return m_meterBar.ptr(); }
    Vsprite* aboutPanel() const { return m_aboutPanel.ptr(); }
    Vmenu* mainMenu() const { return m_mainMenu.ptr(); }
    Vmenu* playKeyHelp() const { return m_playKeyHelp.ptr(); }
    Vmenu* mapKeyHelp() const { return m_mapKeyHelp.ptr(); }
    Vmenu* clubMenu() const { return m_clubMenu.ptr(); }
    Vtext* scoreTitle() const { return m_scoreTitle.ptr(); }
    Vtext* holeLine() const { return m_holeLine.ptr(); }
    Vtext* strokesLine() const { return m_strokesLine.ptr(); }
    Vtext* roundLine() const { return m_roundLine.ptr(); }
    Vtext* totalLine() const { return m_totalLine.ptr(); }
    Vtext* holeText() const { return m_holeText.ptr(); }
    Vtext* parText() const { return m_parText.ptr(); }
    Vtext* distanceText() const { return m_distanceText.ptr(); }
    Vtext* clubText() const { return m_clubText.ptr(); }
    Vtext* windText() const { return m_windText.ptr(); }
    Vtext* messageText() const { return m_messageText.ptr(); }
    Vtext* soundEntry() const { return m_soundEntry.ptr(); }
    Vtext* golferEntry() const { return m_golferEntry.ptr(); }
    Vpolyn* windArrow() const { return m_windArrow.ptr(); }
    angle arrowAngle() const { return m_arrowAngle; }

    // The rules of play the game presents: the round and the wind. Tests and tools set
    // up situations through them.
    Round& round() { return m_round; }
    const Round& round() const { return m_round; }
    Wind& wind() { return m_wind; }

    // Test hooks: set up play situations directly.
    void setState(int32_t state) { m_state = state; }
    void setPower(int32_t power) { m_power = power; }
    void setAim(angle aim) { m_aim = aim; }
    // Sprites the game made and keeps track of for the teardown.
    size_t partCount() const { return m_parts.size(); }

private:
    // One frame of the states with their own small handlers.
    void stepFlightView();
    void stepWaterSplash();
    void setupTitle();
    void stepBallOnMap();
    bool stepScorecard();
    void playFullSwing();
    void playPutt();
    // Desktop comforts: more frames of a ball in play while the fast-forward is held,
    // keys dropped while it stays held afterwards, and the map's panels stepping aside
    // from the pin and the ball.
    void fastForward();
    bool isFastForwardHeld() const;
    bool swallowHeldKeys();
    // `mayPan`: the map may move (when it opens; never against the player's panning).
    void keepMarkersInSight(bool mayPan);
    int32_t markersOnScreen(int32_t points[2][2]) const;
    bool coversMarker(const Vsprite& panel, int32_t* dx = nullptr, int32_t* dy = nullptr) const;
    bool panMapFrom(const Vsprite& panel);
    void stepAside(Vsprite& panel, std::initializer_list<std::array<int32_t, 2>> places,
                   const Vsprite* other);

    // Main menu pieces.
    void showLoadingScreen();
    void closeMainMenu();
    void showAbout();
    void showHelp();

    // "Progress not saved" under a card, when the last save failed.
    void sayIfNotSaved(const Vsprite& card);
    // Match play pieces.
    void loadSavedMatch();
    void cyclePlayers();
    // The players entry says the choice ("1 player", "2 players" ...).
    void showPlayersChoice();
    // The players' names and golfers before a new round; false when the player backs out.
    bool runPlayersSetup();
    void startMatch(bool resume);
    // The player whose turn it is steps up: the round's strokes, the golfer, the HUD.
    void startTurn();
    // The ball is holed or picked up: the turn's score, the card, the saved round.
    void finishTurn();
    void fillMatchCard(bool holeOver);
    void saveMatch();
    void toggleMatchGolfer();

    // Instant replay pieces: the frames of the shot in play, and the three cameras.
    void keepShotFrame();
    enum class ReplayCamera { Following, Beside, BehindPin };
    void placeReplayCamera(ReplayCamera camera);
    // Shows the shot once from `camera`; false when the viewer ended the replay.
    bool showShotFrom(ReplayCamera camera, bool& slow);

    // The golfer's address frame for the club in hand.
    int32_t stanceFrame() const;
    // The part of the swing start that puts the meter up.
    void startSwing();
    // Stylus tap while aiming, mapped to a key.
    int32_t stylusKey(int32_t key);
    bool isBallInView();
    int32_t elapsedMillis() const;
    Ref<Vsprite> newPictureSprite(int32_t picture);
    void putMarkerOnBall(Vsprite& marker, int32_t picture, fixed opacity, fixed minScale);
    fixed groundHeight(fixed x, fixed z) const;
    bool isKeyHelpOnScreen(Vsprite* panel) const;
    // The journal hears the observation: one is set and this is the game thread.
    bool journalled() const {
        return m_journal && m_journalThread.load(std::memory_order_acquire) == std::this_thread::get_id();
    }
    // The stylus as the game observes it, and the game forgetting a tap it has used.
    int32_t stylusX() const;
    int32_t stylusY() const;
    void clearStylus();
    // Every sprite the game makes is made here and listed, so that the teardown reaches
    // it wherever it is: on the screen, put aside, or inside a subtree put aside.
    template <typename T, typename... Args>
    Ref<T> part(Args&&... args) {
        Ref<T> made = make<T>(std::forward<Args>(args)...);
        keepPart(made.ptr());
        return made;
    }
    void keepPart(Vsprite* sprite);

    int32_t m_state = 0;
    // The window's latest size request, width in the high half; applied by the game thread.
    std::atomic<uint64_t> m_requestedSize{0};
    std::atomic<fixed> m_viewScale{0};
    Ref<Journal> m_journal;
    std::atomic<std::thread::id> m_journalThread{};

    Ref<Vilib> m_imagePack;
    Ref<Vphob> m_ballBody;
    Ref<Vector> m_lastLie;
    Ref<Vswf> m_courseReader;
    ByteArray m_savedState;
    int32_t m_golferFrameBase = Pictures::maleGolfer;
    bool m_soundOff = false;
    bool m_comfort = false;
    bool m_fastForwarded = false;  // the fast-forward ran since it was last released

    Ref<Vsprite> m_titleSprite;
    Ref<Vterrain> m_terrainView;
    Ref<VpolyTerrain> m_terrain;
    Ref<String> m_loadedPackName;
    Ref<Vsprite> m_mapSprite;
    Ref<Vsprite> m_scorecard;
    Ref<Vsprite> m_ballSprite;
    Ref<Vsprite> m_aimMarker;
    Ref<Vsprite> m_ballMarker;
    Ref<Vsprite> m_shadowMarker;
    Ref<Vsprite> m_golferSprite;
    Ref<Vsprite> m_pinSprite;

    Ref<Vmenu> m_mainMenu;
    Ref<Vtext> m_soundEntry;
    Ref<Vtext> m_golferEntry;
    Ref<Vmenu> m_playKeyHelp;
    Ref<Vmenu> m_mapKeyHelp;
    Ref<Vmenu> m_clubMenu;

    Ref<Vtext> m_scoreTitle;
    Ref<Vtext> m_holeLine;
    Ref<Vtext> m_strokesLine;
    Ref<Vtext> m_roundLine;
    Ref<Vtext> m_totalLine;

    Ref<Vsprite> m_hudPanel;
    Ref<Vtext> m_holeText;
    Ref<Vtext> m_parText;
    Ref<Vtext> m_distanceText;
    Ref<Vtext> m_clubText;
    Ref<Vtext> m_windText;
    Ref<Vpolyn> m_windArrow;
    Ref<Vswf> m_arrowReader;
    angle m_arrowAngle = 0;
    Ref<Vtext> m_messageText;

    Ref<Vsprite> m_meterPanel;
    Ref<Vsprite> m_meterBar;
    Ref<Vsprite> m_aboutPanel;

    int32_t m_club = 0;
    angle m_aim = 0;
    fixed m_aimRun = 0;
    int32_t m_power = 0;
    fixed m_eyeHeight = 0;
    fixed m_cameraFloor = 0;
    bool m_keyHelpHidden = false;
    // The last saveState could not write the file.
    bool m_saveFailed = false;

    Round m_round;
    BallRules m_ballRules;
    Wind m_wind;

    std::vector<Ref<Vsprite>> m_parts;

    // The last shot of the hole as it flew: the ball at each frame and the frame's time.
    struct ShotFrame {
        fixed x;
        fixed y;
        fixed z;
        int32_t millis;
    };
    std::vector<ShotFrame> m_shotPath;
    bool m_keepingShot = false;
    fixed m_shotCamera[3] = {};
    angle m_shotHeading = 0;
    int32_t m_shotFinishFrame = 0;
    Ref<Vtext> m_replayCaption;

    Match m_match;
    bool m_matchPlay = false;
    bool m_savedMatch = false;  // m_match is an unfinished round read at start
    int32_t m_playersChoice = 1;
    Ref<Vtext> m_playersEntry;
    Ref<Vtext> m_playerText;
    Ref<Vsprite> m_matchCard;
    std::function<void(bool)> m_replayWatcher;
};

}  // namespace fairholm
