// Scene construction: everything the game later shows and hides is built once here,
// right after the image pack has been opened.

#include "engine/sprite/Vfont.h"
#include "game/Clubs.h"
#include "game/Golf.h"
#include "game/SavedState.h"

namespace fairholm {

namespace {

// The font file that suits a screen of the given size (in the game's own pixels).
const char* fontFor(int32_t width, int32_t height) {
    if (height <= 160 || width <= 176) {
        return "f10.bin";
    }
    if (width < 320 && height < 320) {
        return "f13.bin";
    }
    return "f16.bin";
}

}  // namespace

void Golf::buildScene() {
    Vsprite::setRowMargin(2);
    Vtext::setDefaultTextColour(0xFFFFFFFF);
    if (display() && display()->deviceKind()->equals(lit("PocketPC"))) {
        Vmenu::setItemPrefix(true);
    }

    // The record is the user's file: whatever it holds, the game starts from a real
    // position, and the round it describes is the one an option change saves again.
    bool whole = display() && display()->loadBytes(*lit(SavedState::fileName), m_savedState);
    if (journalled()) {
        whole = m_journal->savedRecord(whole, m_savedState);
    }
    SavedState::sanitize(m_savedState);
    if (whole) {
        const int32_t flags = getSavedShort(SavedState::flagsOffset);
        m_soundOff = (flags & SavedState::soundOff) != 0;
        m_golferFrameBase =
            (flags & SavedState::femaleGolfer) ? Pictures::femaleGolfer : Pictures::maleGolfer;
    }
    m_round.start(getSavedShort(SavedState::holeOffset), getSavedShort(SavedState::totalOffset));
    if (m_comfort) {
        loadSavedMatch();
    }

    const char* fontName = fontFor(getWidth(), getHeight());
    auto font = make<Vfont>();
    font->load(*lit(fontName));
    Vtext::setDefaultFont(font);
    Vtext::setDefaultTextColour(0xFFFFFFFF);

    // Menus are translucent panels.
    const auto newMenu = [this](std::initializer_list<const char*> items) {
        auto menu = part<Vmenu>();
        menu->setColour(panelColour);
        for (const char* item : items) {
            menu->addItemText(lit(item));
        }
        return menu;
    };
    fillMainMenu(newMenu({}));
    m_playKeyHelp = m_comfort
                        ? newMenu({"1 Club", "4 Left", "6 Right", "5 Swing", "7 Above", "3 Replay", "9 Back"})
                        : newMenu({"1 Club", "4 Left", "6 Right", "5 Swing", "7 Above", "9 Back"});
    m_mapKeyHelp = newMenu({"1 In", "3 Out", "2 Up", "8 Down", "4 Left", "6 Right", "9 Back"});
    m_clubMenu = newMenu({});
    for (const Clubs::Club& club : Clubs::clubTable) {
        m_clubMenu->addItemText(lit(club.label));
    }

    m_scorecard = part<Vsprite>();
    m_scorecard->setColour(panelColour);
    m_scoreTitle = m_scorecard->addTextRow(lit("Score"));
    m_holeLine = m_scorecard->addTextRow(lit("Hole 1: +000"));
    m_strokesLine = m_scorecard->addTextRowDigits(lit("Strokes: "), 3);
    m_roundLine = m_scorecard->addTextRow(lit("Round: +000"));
    m_totalLine = m_scorecard->addTextRowDigits(lit("Score: "), 4);

    m_hudPanel = part<Vsprite>();
    m_hudPanel->setPosition(2, 2);
    m_hudPanel->setColour(panelColour);
    m_holeText = m_hudPanel->addTextRowDigits(lit("Hole "), 2);
    m_parText = m_hudPanel->addTextRowDigits(lit("Par 3 -"), 2);
    m_distanceText = m_hudPanel->addTextRowDigits(lit("Yards "), 3);
    m_clubText = m_hudPanel->addTextRow(lit("PT-100"));
    m_windText = m_hudPanel->addTextRowDigits(lit("Wind "), 2);

    m_windArrow = part<Vpolyn>();
    m_arrowAngle = 16384;
    m_windArrow->setSize(24, 24);
    m_arrowReader = make<Vswf>();
    const fixed rise = fontName[1] == '1' && fontName[2] == '0' ? 8 * fx::one : 6 * fx::one;
    // The arrow stands at the right end of the wind row, after the number (the panel
    // grows to take it when the row is its widest): never over the digits.
    const int32_t arrowX = (m_windText->getX() >> 15) + m_windText->getWidth() + 1;
    m_windArrow->setPositionFixed(arrowX * fx::one, m_windText->getY() - rise);
    if (m_hudPanel->getWidth() < arrowX + 24) {
        m_hudPanel->setSize(arrowX + 24, m_hudPanel->getHeight());
    }
    m_hudPanel->appendChild(m_windArrow);
    updateWind();

    m_meterPanel = part<Vsprite>();
    m_meterBar = part<Vsprite>();
    m_meterPanel->addChild(m_meterBar);
    static constexpr uint32_t bandColours[4] = {0x80E0E0E0, 0x80A0A0A0, 0x80606060, 0x80202020};
    for (int32_t band = 0; band < 4; ++band) {
        auto sprite = part<Vsprite>();
        sprite->setSize(24, 25);
        sprite->setPosition(0, 25 * band);
        sprite->setColour(bandColours[band]);
        m_meterPanel->addChild(sprite);
    }

    m_aboutPanel = part<Vsprite>();
    m_aboutPanel->addTextRowCentered(lit("Greenvale Version 1.01"));
}

}  // namespace fairholm
