#include "platform/headless/HeadlessPilot.h"

#include "engine/render3d/Vector.h"
#include "engine/render3d/Vphob.h"
#include "game/BallRules.h"
#include "game/Clubs.h"

namespace fairholm {

namespace {

// The meter grows by this much in a frame of 16 ms.
constexpr int32_t meterStep = 3072 * 16;
// The fullest meter that can still be stopped by hand: one step more fills it, and a
// full meter adds an aim error.
constexpr int32_t lastStop = (Clubs::fullPower - 1) / meterStep;
// Turns of 128 tried either side of the heading the game gives.
constexpr int32_t turnsTried = 4;
// Frames after which a stroke that has not ended counts as one that never rests.
constexpr int32_t maxFrames = 60 * 60;
constexpr int64_t penalty = int64_t{1} << 40;

// Signed distance from heading `from` to heading `to`, the short way round.
int32_t turnBetween(angle from, angle to) {
    int32_t d = (to - from) & 0x7FFF;
    return d > 16384 ? d - 32768 : d;
}

}  // namespace

bool HeadlessPilot::act() {
    Golf& game = m_game;
    const int32_t state = game.state();
    if (state != Golf::Aiming && state != Golf::SwingMeter) {
        m_planned = false;
    }
    if (game.hasQueuedKeys()) {
        return true;  // the last key has not been taken yet
    }
    switch (state) {
        case Golf::Aiming: {
            if (!m_planned) {
                m_plan = plan();
                m_planned = true;
                ++m_plans;
            }
            const int32_t turn = turnBetween(game.aim(), m_plan.aim);
            if (turn >= 64) {
                press('6');
            } else if (turn <= -64) {
                press('4');
            } else {
                press('5');
            }
            break;
        }
        case Golf::SwingMeter:
            if (game.power() >= m_plan.power) {
                press('5');
            }
            break;
        case Golf::MapBrowse:
            press('9');
            break;
        case Golf::Scorecard:
            if (game.holeIndex() == 0) {
                m_lastHoleDone = true;
            }
            press('5');
            break;
        case Golf::MainMenu:
            return !m_lastHoleDone;
        default:
            break;
    }
    return true;
}

void HeadlessPilot::press(int32_t key) {
    m_game.keyPressed(key);
    m_game.keyReleased(key);
}

HeadlessPilot::Plan HeadlessPilot::plan() {
    const int32_t club = m_game.club();
    const angle start = m_game.aim();
    Plan best;
    int64_t bestScore = -1;
    const auto consider = [&](int32_t turns, int32_t stop) {
        if (turns < -turnsTried - 1 || turns > turnsTried + 1 || stop < 1 || stop > lastStop) {
            return;
        }
        const angle aim = (start + turns * 128) & 0x7FFF;
        const int64_t score = judge(club, aim, stop * meterStep);
        if (bestScore < 0 || score < bestScore) {
            bestScore = score;
            best = {aim, stop * meterStep};
        }
    };
    // Every fourth meter frame first, then the frames and turns around the best.
    for (int32_t turns = -turnsTried; turns <= turnsTried; ++turns) {
        for (int32_t stop = 2; stop <= lastStop; stop += 4) {
            consider(turns, stop);
        }
    }
    const int32_t coarseTurns = turnBetween(start, best.aim) / 128;
    const int32_t coarseStop = best.power / meterStep;
    for (int32_t turns = coarseTurns - 1; turns <= coarseTurns + 1; ++turns) {
        for (int32_t stop = coarseStop - 3; stop <= coarseStop + 3; ++stop) {
            consider(turns, stop);
        }
    }
    return best;
}

int64_t HeadlessPilot::judge(int32_t club, angle aim, int32_t power) {
    const Vsprite& ball = *m_game.ballSprite();
    const Vsprite& pin = *m_game.pinSprite();
    VpolyTerrain& terrain = *m_game.terrain();
    auto body = make<Vphob>();
    body->setTerrain(Ref<VpolyTerrain>(&terrain));
    BallRules::strike(*body, ball.getWorldX(), ball.getWorldY(), ball.getWorldZ(), club, power, aim,
                      m_game.wind());
    // The swing's first step after the strike covers the 80 ms the game allows at most.
    BallRules rules;
    const Vector pinAt(pin.getWorldX(), pin.getWorldY(), pin.getWorldZ());
    const BallRules::Result end =
        rules.playOut(*body, pinAt, terrain, BallRules::maxFrameMillis, 16, maxFrames);
    switch (end.verdict) {
        case BallRules::Verdict::Holed:
            return 0;
        case BallRules::Verdict::Rest:
            return Vector(pinAt.x - end.x, 0, pinAt.z - end.z).length();
        default:
            return penalty;
    }
}

}  // namespace fairholm
