#include "platform/StrokeLog.h"

#include "game/Golf.h"

namespace fairholm {

void StrokeLog::sample(const Golf& game) {
    const int32_t state = game.state();
    const int32_t hole = game.holeIndex();
    const int32_t strokes = game.strokes();
    const int32_t club = game.club();
    const int32_t aim = game.aim();
    if (m_started && state == m_state && hole == m_hole && strokes == m_strokes && club == m_club &&
        aim == m_aim) {
        return;
    }
    m_started = true;
    m_state = state;
    m_hole = hole;
    m_strokes = strokes;
    m_club = club;
    m_aim = aim;
    // Power is a 16.16 percentage of a full meter.
    std::fprintf(m_out, "play state=%d hole=%d strokes=%d club=%d aim=%d power=%d frame=%016llx\n",
                 static_cast<int>(state), static_cast<int>(hole), static_cast<int>(strokes),
                 static_cast<int>(club), static_cast<int>(aim), static_cast<int>(game.power() >> 16),
                 static_cast<unsigned long long>(game.frameHash()));
    std::fflush(m_out);
}

std::string StrokeLog::endLine(const Golf& g, uint32_t time) {
    // The surface under the ball (0 when no hole is being played).
    int32_t lie = 0;
    if (g.terrain() && g.ballSprite() && g.ballSprite()->hasParent()) {
        lie = g.terrain()->surfaceAt(g.ballSprite()->getWorldX(), g.ballSprite()->getWorldZ());
    }
    char line[192];
    std::snprintf(line, sizeof line, "end time=%u state=%d hole=%d strokes=%d total=%d club=%d lie=%d", time,
                  g.state(), g.holeIndex() + 1, g.strokes(), g.roundTotal(), g.club(), lie);
    return line;
}

}  // namespace fairholm
