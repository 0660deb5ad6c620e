// The bag of clubs, the 18 holes, their pars and course packs, and how a course pack
// becomes the ground of play.

#include "game/Golf.h"

namespace fairholm {

const Golf::Club Golf::clubTable[clubCount] = {
    {"1 1W-250", 8191500, 1092}, {"2 3W-230", 7536180, 1365}, {"3 3i-200", 6553200, 1456},
    {"4 4i-185", 6061710, 1820}, {"5 5i-170", 5570220, 2184}, {"6 6i-155", 5078730, 2548},
    {"7 7i-140", 4587240, 2912}, {"8 8i-125", 4095750, 3276}, {"9 9i-110", 3604260, 3640},
    {"# PW-60", 1965960, 5461},  {"* PT-100", 1092200, 0},
};

const Golf::Hole Golf::holeTable[holeCount] = {
    {89, 436, 75, 76, 75, 76},     {178, 95, 187, 252, 187, 252},  {291, 461, 472, 56, 300, 167},
    {89, 441, 94, 71, 94, 71},     {193, 150, 190, 332, 190, 332}, {282, 450, 459, 57, 303, 251},
    {175, 449, 88, 134, 161, 202}, {272, 268, 279, 380, 279, 380}, {426, 444, 307, 61, 411, 304},
    {88, 436, 92, 94, 92, 94},     {176, 196, 184, 386, 184, 386}, {447, 465, 236, 67, 427, 183},
    {75, 447, 150, 138, 90, 215},  {191, 252, 190, 428, 203, 432}, {289, 460, 462, 62, 288, 169},
    {90, 402, 84, 97, 84, 97},     {165, 152, 175, 385, 175, 388}, {442, 457, 199, 56, 452, 216},
};

const uint8_t Golf::parTable[holeCount] = {4, 3, 5, 4, 3, 5, 4, 3, 5, 4, 3, 5, 4, 3, 5, 4, 3, 5};

const char* const Golf::holePackNames[holeCount] = {
    "holes_1-3",   "holes_1-3",   "holes_1-3",   "holes_4-6",   "holes_4-6",   "holes_4-6",
    "holes_7-9",   "holes_7-9",   "holes_7-9",   "holes_10-12", "holes_10-12", "holes_10-12",
    "holes_13-15", "holes_13-15", "holes_13-15", "holes_16-18", "holes_16-18", "holes_16-18",
};

Ref<String> Golf::holePack(int32_t hole) {
    return lit(holePackNames[hole]);
}

Golf::Surface Golf::classifySurface(uint32_t colour) {
    const int32_t red = (colour >> 16) & 0xFF;
    const int32_t green = (colour >> 8) & 0xFF;
    const int32_t blue = colour & 0xFF;
    const int32_t channels = (red ? 4 : 0) | (green ? 2 : 0) | (blue ? 1 : 0);
    switch (channels) {
        case 4:
            return {1, red, 0x4CCC};
        case 2:
            return {2, green, 0x2666};
        case 1:
            return {3, blue, 0x8000};
        case 3:
            return {4, blue, 0x2666};
        case 5:
            return {5, blue, 0x4000};
        case 6:
            return {6, red, 0x5999};
        case 7:
            return {7, blue, 0x4000};
        default:
            return {7, colour == 0 ? 128 : 0, 0x4000};
    }
}

void Golf::loadCoursePack(Ref<String> name) {
    if (m_loadedPackName == name || (m_loadedPackName && name && m_loadedPackName->equals(name))) {
        return;
    }
    m_loadedPackName = name;
    if (m_terrain) {
        m_terrain->removeFromParent();
    } else {
        m_terrain = make<VpolyTerrain>();
    }
    m_ballBody->setTerrain(m_terrain);
    Vphob::setGravity(-359834);
    if (m_terrainView) {
        m_terrainView->setTerrain(m_terrain);
        m_terrainView->setTextures(m_imagePack);
    }
    m_terrain->setZ(0x7FFFFF);

    m_courseReader->load(m_terrain, *name, 512, 512, 12469, 48, 0);
    const IntArray palette = m_terrain->palette();
    for (int32_t i = 0; i < palette.length(); ++i) {
        const Surface surface = classifySurface(static_cast<uint32_t>(palette[i]));
        m_terrain->setPaletteImage(i, m_imagePack, surface.kind);
        m_terrain->setColor(i, surface.height);
        m_terrain->setSurfaceProperties(i, surface.friction, 0);
    }
    m_terrain->buildHeightMap();

    m_mapSprite = make<Vsprite>();
    m_mapSprite->setZ(0x7FFFFF);
    m_terrain->setScale(fx::one);
    m_mapSprite->addChild(m_terrain);
    m_mapSprite->setScale(64 * (getHeight() > getWidth() ? getHeight() : getWidth()));
}

void Golf::selectClubForDistance(fixed distance) {
    int32_t choice;
    if (distance >= clubTable[pitchingWedge].carry) {
        choice = 8;
        for (int32_t i = 0; i <= 8; ++i) {
            if (clubTable[i].carry < distance) {
                choice = i == 0 ? 0 : i - 1;
                break;
            }
        }
    } else {
        const bool onGreen =
            m_terrain && m_terrain->surfaceAt(m_ballSprite->getWorldX(), m_ballSprite->getWorldZ()) == 4;
        choice = onGreen ? putter : pitchingWedge;
    }
    selectClub(choice);
}

int32_t Golf::carryFor(int32_t club, int32_t power) {
    return clubTable[club].carry * (power >> 15) / 200;
}

Golf::Launch Golf::launchFor(int32_t club, int32_t power) {
    const int32_t carry = carryFor(club, power);
    const angle loft = clubTable[club].loft;
    if (loft == 0) {
        return {fx::sqrt(int64_t{12} * carry), 0};
    }
    const int64_t range = (static_cast<int64_t>(carry) * 0x7333) >> 15;
    const fixed speed = fx::sqrt(range * 359834 / fx::sin(2 * loft));
    return {fx::mul(speed, fx::cos(loft)), fx::mul(speed, fx::sin(loft))};
}

}  // namespace fairholm
