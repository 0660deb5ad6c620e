#include "game/Surface.h"

namespace fairholm {

Surface Surface::classify(uint32_t colour) {
    const int32_t red = (colour >> 16) & 0xFF;
    const int32_t green = (colour >> 8) & 0xFF;
    const int32_t blue = colour & 0xFF;
    const int32_t channels = (red ? 4 : 0) | (green ? 2 : 0) | (blue ? 1 : 0);
    switch (channels) {
        case 4:
            return {rough, red, 0x4CCC};
        case 2:
            return {fairway, green, 0x2666};
        case 1:
            return {water, blue, 0x8000};
        case 3:
            return {Kind::green, blue, 0x2666};
        case 5:
            return {fringe, blue, 0x4000};
        case 6:
            return {bunker, red, 0x5999};
        case 7:
            return {heather, blue, 0x4000};
        default:
            // Black; the whole empty palette word stands for the middle height.
            return {heather, colour == 0 ? 128 : 0, 0x4000};
    }
}

const char* Surface::name(int32_t kind) {
    static const char* const names[] = {"?",     "rough",      "fairway", "water",
                                        "green", "tee/fringe", "bunker",  "heather"};
    return kind >= rough && kind <= heather ? names[kind] : names[0];
}

void Surface::dressTerrain(VpolyTerrain& terrain, const Ref<Vilib>& textures) {
    for (int32_t i = 0; i < terrain.paletteSize(); ++i) {
        const Surface surface = classify(static_cast<uint32_t>(terrain.paletteColor(i)));
        terrain.setPaletteImage(i, textures, surface.kind);
        terrain.setColor(i, surface.height);
        terrain.setSurfaceProperties(i, surface.friction, 0);
    }
}

}  // namespace fairholm
