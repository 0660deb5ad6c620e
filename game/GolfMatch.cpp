// Two to four players on one device, taking turns: the players entry of the main menu,
// the screen for their names and golfers, each turn's set-up and score, the card after
// every turn and the saved round. The rules of the round are Match's.

#include "engine/sprite/EngineKey.h"
#include "game/Course.h"
#include "game/Golf.h"
#include "game/MatchFile.h"
#include "game/Pictures.h"
#include "game/Round.h"
#include "game/SavedState.h"
#include "runtime/StringBuffer.h"

namespace fairholm {

namespace {

Ref<String> playersText(int32_t players) {
    return String::copyOf(players == 1 ? std::string("1 player") : std::to_string(players) + " players");
}

Ref<String> setupText(const Match::Player& player) {
    return String::copyOf(player.name + (player.female ? " - female" : " - male"));
}

// "+3", "-1", "+0".
std::string signedNumber(int32_t value) {
    return (value < 0 ? "-" : "+") + std::to_string(value < 0 ? -value : value);
}

// Characters a name may hold: what a keyboard types as text.
bool nameCharacter(int32_t code) {
    return (code >= 'A' && code <= 'Z') || (code >= 'a' && code <= 'z') || (code >= '0' && code <= '9') ||
           code == ' ' || code == '-' || code == '.' || code == '\'';
}

}  // namespace

void Golf::loadSavedMatch() {
    ByteArray buffer = newByteArray(static_cast<int32_t>(MatchFile::maxBytes) + 1);
    int32_t got = display() ? display()->readBytes(*lit(MatchFile::fileName), buffer) : -1;
    if (journalled()) {
        got = m_journal->savedFile(got, buffer);
    }
    Match saved;
    if (got > 0 && MatchFile::read(buffer.data(), static_cast<size_t>(got), saved) && !saved.roundOver()) {
        m_match = saved;
        m_savedMatch = true;
        m_playersChoice = saved.players();
    }
}

void Golf::cyclePlayers() {
    m_playersChoice = m_playersChoice % Match::maxPlayers + 1;
    showPlayersChoice();
}

void Golf::showPlayersChoice() {
    if (m_playersEntry) {
        m_playersEntry->setText(playersText(m_playersChoice));
    }
}

bool Golf::runPlayersSetup() {
    Match next;
    next.start(m_playersChoice);
    // The panel is made again at every change, so that it is as wide as its lines.
    Ref<Vmenu> menu;
    const auto show = [&](int32_t selected) {
        if (menu) {
            menu->removeFromParent();
        }
        menu = part<Vmenu>();
        menu->setColour(panelColour);
        for (int32_t i = 0; i < next.players(); ++i) {
            menu->addItem(setupText(next.player(i)), 0);
        }
        menu->addItem(lit("Tee off"), 0);
        menu->selectIndex(selected);
        appendCentered(menu);
        if (m_titleSprite) {
            menu->centreIn(0, m_titleSprite->bottom(), getWidth(), getHeight() - 8);
        }
    };
    m_mainMenu->removeFromParent();
    show(0);
    // Up and Down pick a line, Enter turns a player's golfer round or tees off, letters
    // type the picked player's name (the first one replaces "Player N") and Left takes
    // its last letter back.
    bool teeOff = false;
    uint32_t typed = 0;
    while (isRunning() && !applyPendingSize()) {
        const int32_t code = nextKey();
        const int32_t line = menu->getSelectedIndex();
        const bool onPlayer = line >= 0 && line < next.players();
        if (code == key::back || code == key::softRight) {
            break;
        }
        bool changed = false;
        if (code == key::up || code == key::down) {
            menu->handleKey(code, 0, 0);
        } else if (code == key::action || code == key::lineFeed || code == key::space) {
            if (!onPlayer) {
                teeOff = true;
                break;
            }
            next.player(line).female = !next.player(line).female;
            changed = true;
        } else if (onPlayer && code == key::left && !next.player(line).name.empty()) {
            next.player(line).name.pop_back();
            changed = true;
        } else if (onPlayer && nameCharacter(code)) {
            std::string& name = next.player(line).name;
            if ((typed & (1u << line)) == 0) {
                typed |= 1u << line;
                name.clear();
            }
            if (name.size() < Match::maxName) {
                name.push_back(static_cast<char>(code));
            }
            changed = true;
        }
        if (changed) {
            show(line);
        }
        repaint();
        waitFrame(16);
    }
    menu->removeFromParent();
    if (!teeOff) {
        appendCentered(m_mainMenu);
        if (m_titleSprite) {
            m_mainMenu->centreIn(0, m_titleSprite->bottom(), getWidth(), getHeight() - 8);
        }
        return false;
    }
    for (int32_t i = 0; i < next.players(); ++i) {
        if (next.player(i).name.empty()) {
            next.player(i).name = "Player " + std::to_string(i + 1);
        }
    }
    m_match = next;
    m_savedMatch = false;
    return true;
}

void Golf::startMatch(bool resume) {
    // Resuming without a saved round of these players starts a fresh one; a new game's
    // round comes from the players' screen.
    if (resume && !(m_savedMatch && m_match.players() == m_playersChoice)) {
        m_match.start(m_playersChoice);
    }
    m_savedMatch = false;
    m_matchPlay = true;
    m_state = StartHole;
}

void Golf::startTurn() {
    const Match::Player& player = m_match.player(m_match.current());
    m_round.start(m_match.hole(), player.total());
    m_golferFrameBase = player.female ? Pictures::femaleGolfer : Pictures::maleGolfer;
    if (m_golferEntry) {
        m_golferEntry->setText(lit(player.female ? "Female player" : "Male player"));
    }
    if (!m_playerText) {
        m_playerText = part<Vtext>(lit(""));
        m_playerText->setColour(panelColour);
    }
    m_playerText->setText(String::copyOf(player.name));
    const int32_t below = (m_hudPanel->getY() >> 15) + m_hudPanel->getHeight() + 2;
    m_playerText->setPosition(2, below);
    if (!m_playerText->hasParent()) {
        appendChild(m_playerText);
    }
}

void Golf::finishTurn() {
    m_state = Scorecard;
    // The round counted the turn's strokes, penalties and all.
    m_match.setStrokes(m_round.strokes());
    const bool holeOver = m_match.finishTurn();
    if (m_playerText) {
        m_playerText->removeFromParent();  // back with the next turn's HUD
    }
    fillMatchCard(holeOver);
    appendCentered(m_matchCard);
    repaint();
    saveMatch();
    sayIfNotSaved(*m_matchCard);
    if (m_match.roundOver()) {
        m_round.start(0, 0);
    }
    playSound(lit("music"));
}

void Golf::fillMatchCard(bool holeOver) {
    if (!m_matchCard) {
        m_matchCard = part<Vsprite>();
        m_matchCard->setColour(panelColour);
    }
    m_matchCard->removeAllChildren();
    m_matchCard->setSize(0, 0);
    const int32_t hole = holeOver ? m_match.hole() - 1 : m_match.hole();
    const int32_t par = Course::par(hole);
    if (m_match.roundOver()) {
        m_matchCard->addTextRow(lit("Final"));
        for (const Match::Standing& s : m_match.standings()) {
            if (s.place == 0) {
                continue;
            }
            m_matchCard->addTextRow(String::copyOf(std::to_string(s.place) + ". " +
                                                   m_match.player(s.player).name + " " +
                                                   std::to_string(s.total) + " " + signedNumber(s.relative)));
        }
        std::string winners;
        int32_t count = 0;
        for (int32_t p = 0; p < m_match.players(); ++p) {
            if ((m_match.winners() >> p) & 1) {
                winners += (count++ > 0 ? " & " : "") + m_match.player(p).name;
            }
        }
        m_matchCard->addTextRow(String::copyOf((count > 1 ? "Tie: " : "Winner: ") + winners));
        return;
    }
    m_matchCard->addTextRow(
        String::copyOf("Hole " + std::to_string(hole + 1) + " - Par " + std::to_string(par)));
    // This hole's players in the order they played it (the order of the next hole
    // is already set when the hole is over; the scores say who played).
    for (int32_t t = 0; t < m_match.players(); ++t) {
        const int32_t who = holeOver ? t : m_match.orderAt(t);
        const Match::Player& p = m_match.player(who);
        const int32_t strokes = p.strokes[static_cast<size_t>(hole)];
        std::string line = p.name + ": ";
        if (strokes == 0) {
            line += "-";
        } else {
            const char* name = strokes >= Match::strokeLimit(hole)
                                   ? "Picked up"
                                   : Round::announcementFor(par, strokes, false);
            line += std::to_string(strokes) + " " + name + " " + signedNumber(p.relative());
        }
        m_matchCard->addTextRow(String::copyOf(line));
    }
    if (!holeOver) {
        m_matchCard->addTextRow(String::copyOf("Next: " + m_match.player(m_match.current()).name));
    }
}

void Golf::saveMatch() {
    const std::vector<uint8_t> bytes = MatchFile::write(m_match);
    ByteArray record = newByteArray(static_cast<int32_t>(bytes.size()));
    for (size_t i = 0; i < bytes.size(); ++i) {
        record.data()[i] = bytes[i];
    }
    const bool writes = !journalled() || m_journal->writesFiles();
    const bool failed = display() && writes && !display()->saveBytes(*lit(MatchFile::fileName), record);
    m_saveFailed = journalled() ? !m_journal->saved(!failed) : failed;
}

void Golf::toggleMatchGolfer() {
    Match::Player& player = m_match.player(m_match.current());
    player.female = !player.female;
    m_golferFrameBase = player.female ? Pictures::femaleGolfer : Pictures::maleGolfer;
    m_golferEntry->setText(lit(player.female ? "Female player" : "Male player"));
    saveMatch();
}

}  // namespace fairholm
