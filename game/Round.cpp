#include "game/Round.h"

#include "game/Course.h"

namespace fairholm {

const char* Round::announcementFor(int32_t par, int32_t strokes, bool lastHole) {
    if (lastHole) {
        return "Game Over";
    }
    switch (par - strokes) {
        case 0:
            return "Par";
        case 1:
            return "Birdie!";
        case 2:
            return "Eagle!";
        case 3:
            return "Double Eagle!";
        default:
            return "Score";
    }
}

void Round::start(int32_t hole, int32_t total) {
    m_hole = hole;
    m_total = total;
    m_strokes = 0;
    m_penalties = 0;
}

int32_t Round::par() const {
    return Course::par(m_hole);
}

Round::HoleScore Round::finishHole() {
    HoleScore score;
    score.hole = m_hole;
    score.par = Course::par(m_hole);
    score.strokes = m_strokes;
    score.overPar = m_strokes - score.par;
    score.announcement = announcementFor(score.par, m_strokes, m_hole == Course::lastHole);
    m_total += m_strokes;
    score.total = m_total;
    score.relative = m_total - Course::parThrough(m_hole);
    m_hole += 1;
    score.roundOver = m_hole == Course::holeCount;
    if (score.roundOver) {
        m_hole = 0;
        m_total = 0;
    }
    return score;
}

}  // namespace fairholm
