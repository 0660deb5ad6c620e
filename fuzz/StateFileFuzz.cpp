// libFuzzer target: arbitrary bytes as the state file "greenvale", read the way the
// game reads it: the game starts over the synthetic test content, and "Resume game" is
// chosen in the main menu; the hole it sets up must be one of the course's.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "engine/sprite/Platform.h"
#include "fuzz/FuzzFile.h"
#include "platform/GameSession.h"
#include "runtime/Clock.h"
#include "runtime/ProgramDirectory.h"
#include "runtime/Runtime.h"
#include "tests/support/QuietPlatform.h"
#include "tests/support/TestContent.h"

using namespace fairholm;

namespace {

// The game's clock: time moves only when the game sleeps; then the player acts.
class PlayerClock final : public Clock {
public:
    uint32_t currentTimeMillis() override { return now; }
    void sleep(uint32_t milliseconds) override {
        now += milliseconds;
        if (!game) {
            return;
        }
        if (game->state() == Golf::MainMenu && game->mainMenu()->hasParent() && !resumed) {
            game->keyPressed('R');
            game->keyReleased('R');
            resumed = true;
        }
        if (game->state() == Golf::Aiming || now > limit) {
            game->stop();
        }
    }
    uint32_t now = 0;
    uint32_t limit = 0;
    bool resumed = false;
    Golf* game = nullptr;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool ready = [] {
        fuzz::writeInput("greenvale", nullptr, 0);  // makes the private program directory
        return fairholm::testing::TestContent::write(ProgramDirectory::get());
    }();
    if (!ready) {
        std::abort();
    }
    fuzz::writeInput("greenvale", data, size);
    auto clock = make<PlayerClock>();
    clock->limit = 20000;
    Runtime::setClock(clock);
    {
        GameSession session(make<fairholm::testing::QuietPlatform>(), 240, 320);
        clock->game = &session.game();
        session.runHere();
        const Golf& game = session.game();
        if (game.state() != Golf::Aiming || game.holeIndex() < 0 || game.holeIndex() > 17 ||
            game.roundTotal() < 0 || game.roundTotal() > 9999) {
            std::abort();  // the resumed round is always a real one
        }
        clock->game = nullptr;
    }
    Runtime::setClock(nullptr);
    return 0;
}
