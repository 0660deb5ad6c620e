// The main menu over the title or the paused hole: new game, resume, sound, golfer,
// help, about and exit.

#include "engine/sprite/EngineKey.h"
#include "engine/sprite/Vfont.h"
#include "game/Clubs.h"
#include "game/Course.h"
#include "game/Golf.h"
#include "game/Pictures.h"
#include "game/SavedState.h"

namespace fairholm {

void Golf::fillMainMenu(Ref<Vmenu> menu) {
    m_mainMenu = std::move(menu);
    m_mainMenu->addItemText(lit("New game"));
    m_mainMenu->addItemText(lit("Resume game"));
    m_soundEntry = m_mainMenu->addItemText(lit(m_soundOff ? "Sound off" : "Sound on"));
    m_golferEntry = m_mainMenu->addItemText(lit("Female player"));
    if (m_golferFrameBase == Pictures::maleGolfer) {
        m_golferEntry->setText(lit("Male player"));
    }
    m_mainMenu->addItemText(lit("Help"));
    m_mainMenu->addItemText(lit("About"));
    m_mainMenu->addItemText(lit("Exit"));
    // Several players are a desktop comfort: the handset's menu keeps its seven entries.
    if (m_comfort) {
        m_playersEntry = m_mainMenu->addItem(lit(""), 'P');
        showPlayersChoice();
    }
}

void Golf::setSoundOn(bool on) {
    m_soundOff = !on;
    if (m_soundEntry) {
        m_soundEntry->setText(lit(on ? "Sound on" : "Sound off"));
    }
    saveState();
}

void Golf::playSound(Ref<String> name) {
    if (m_soundOff || !isRunning() || !display()) {
        return;
    }
    if (!display()->playSound(*name)) {
        m_soundOff = true;
    }
}

void Golf::showLoadingScreen() {
    auto loading = part<Vtext>(lit("Loading..."));
    Vsprite& about = *m_aboutPanel;
    about.setPosition((getWidth() - about.getWidth()) / 2, getHeight() - about.getHeight());
    appendChild(m_aboutPanel);
    appendChild(loading);
    const int32_t titleBottom = m_titleSprite ? m_titleSprite->bottom() : 0;
    loading->centreIn(0, titleBottom, getWidth(), about.getY() / fx::one - 2);
    repaint();
    waitFrame(0);
    createTerrainView();
    loadCoursePack(Course::holePack(0));
    waitFrame(1000);
    loading->removeFromParent();
    m_aboutPanel->removeFromParent();
    flushKeys();
    playSound(lit("music"));
}

void Golf::closeMainMenu() {
    m_mainMenu->removeFromParent();
    repaint();
    if (m_titleSprite) {
        m_titleSprite->removeFromParent();
        m_titleSprite = nullptr;
    }
    setColour(0);
    setGradientColour(0);
}

void Golf::showAbout() {
    m_mainMenu->removeFromParent();
    m_aboutPanel->setColour(panelColour);
    appendCentered(m_aboutPanel);
    repaint();
    while (isRunning()) {
        if (anyKeyPressed() || applyPendingSize()) {
            break;
        }
        repaint();
        waitFrame(16);
    }
    m_aboutPanel->removeFromParent();
}

void Golf::showHelp() {
    m_mainMenu->removeFromParent();
    // With the desktop comforts the title picture makes way for the text.
    const bool titleAside = m_comfort && m_titleSprite && m_titleSprite->hasParent();
    if (titleAside) {
        m_titleSprite->removeFromParent();
    }
    auto help = part<Vtext>(nullptr);
    help->setColour(panelColour);
    help->setSize(getWidth() < 232 ? getWidth() : 232, 0);
    help->loadText(*lit("help.txt"));
    appendCentered(help);
    help->setPosition((getWidth() - help->getWidth()) / 2, 0);
    repaint();

    const Ref<Vfont> font = Vtext::getDefaultFont();
    const int32_t lineHeight = font && font->getLineHeight() > 0 ? font->getLineHeight() : 1;
    const int32_t step = (getHeight() / lineHeight - 1) * lineHeight;
    while (isRunning() && !applyPendingSize()) {
        const int32_t code = nextKey();
        const int32_t y = help->getY() >> 15;
        if (code == '2' || code == key::up) {
            if (y < 0) {
                help->setPosition(help->getX() >> 15, y + step);
            }
        } else if (code == '8' || code == key::down) {
            if (y + help->getHeight() > getHeight()) {
                help->setPosition(help->getX() >> 15, y - step);
            }
        } else if (code != 0) {
            break;
        } else {
            revealRows();
        }
        waitFrame(16);
    }
    help->removeFromParent();
    if (titleAside) {
        addChild(m_titleSprite);
    }
}

void Golf::runMainMenu() {
    if (!m_mainMenu->hasParent()) {
        if (!m_terrainView) {
            showLoadingScreen();
        }
        appendCentered(m_mainMenu);
        if (m_titleSprite) {
            m_mainMenu->centreIn(0, m_titleSprite->bottom(), getWidth(), getHeight() - 8);
        }
    }
    const int32_t choice = menuKey(*m_mainMenu, nextKey());
    switch (choice) {
        case 'N':
            if (m_playersChoice > 1) {
                if (!runPlayersSetup()) {
                    break;
                }
                startMatch(false);
            } else {
                m_matchPlay = false;
                m_state = StartHole;
                m_round.start(0, 0);
            }
            closeMainMenu();
            break;
        case 'R':
            if (!m_terrainView->hasParent() && m_playersChoice > 1) {
                startMatch(true);
            } else if (!m_terrainView->hasParent()) {
                m_matchPlay = false;
                m_round.start(getSavedShort(SavedState::holeOffset), getSavedShort(SavedState::totalOffset));
                m_state = StartHole;
            } else {
                m_state = Aiming;
            }
            closeMainMenu();
            break;
        case 'S':
            setSoundOn(m_soundOff);
            break;
        case 'F':
            if (m_matchPlay) {
                toggleMatchGolfer();
            } else if (m_golferFrameBase == Pictures::maleGolfer) {
                m_golferFrameBase = Pictures::femaleGolfer;
                m_golferEntry->setText(lit("Female player"));
            } else {
                m_golferFrameBase = Pictures::maleGolfer;
                m_golferEntry->setText(lit("Male player"));
            }
            if (!m_matchPlay) {
                saveState();
            }
            if (m_golferSprite) {
                m_golferSprite->setFrame(stanceFrame());
            }
            break;
        case 'P':
            if (m_playersEntry && !m_terrainView->hasParent()) {
                cyclePlayers();
            }
            break;
        case 'H':
            showHelp();
            break;
        case 'A':
            showAbout();
            break;
        case 'E':
        case key::back:
            exitGame();
            break;
        default:
            break;
    }
}

}  // namespace fairholm
