#pragma once

#include <array>
#include <cstdint>

#include "game/Clubs.h"
#include "tools/coursecheck/StrokeSimulator.h"

namespace fairholm::coursecheck {

// What a player who knows their clubs knows: how far each club sends the ball at each
// stop of the power meter, measured once by simulation on flat ground in calm air: the
// carry (to where the ball first touches the ground) and the whole distance to rest on
// each kind of ground it lands on (it rolls further on fairway than in rough). And what
// the wind does to a stroke: the yards gained with the wind behind, lost against it and
// drifted sideways by it, per unit of wind strength, measured at a quarter, half,
// three quarters and all of the meter on the carry (the wind moves the ball in the air).
//
// Powers are 16.16 percent, as the game's meter; the tables hold the powers a meter
// stopped by hand can give (one frame of 16 ms apart) and answer between them by
// linear interpolation. Distances are in yards.
class ClubDistances {
public:
    // Meter stops a player can make: 1 .. maxPower / meterTick.
    static constexpr int32_t stops = StrokeSimulator::maxPower / StrokeSimulator::meterTick;
    // The wind the wind figures are measured in (units of strength, the HUD's).
    static constexpr int32_t measuringWind = 4;

    // The table, measured on first use and shared afterwards.
    static const ClubDistances& learned();

    // Measures the tables (a second or so of simulation).
    ClubDistances();

    double carry(int32_t club, double power) const;
    // Distance to rest on flat ground of the kind (Surface kind; water reads as fairway).
    double total(int32_t club, int32_t kind, double power) const;
    // The power whose whole distance is `yards` on that ground, between one meter stop
    // and the fullest stoppable meter (which it answers for anything further).
    double powerFor(int32_t club, int32_t kind, double yards) const;
    // The power that carries `yards`, the fullest stoppable meter for anything further.
    double powerForCarry(int32_t club, double yards) const;

    // Yards of distance gained per unit of wind straight behind the stroke.
    double tailwindGain(int32_t club, double power) const { return windFigure(m_tail, club, power); }
    // Yards of distance gained (a negative number) per unit of wind straight against.
    double headwindGain(int32_t club, double power) const { return windFigure(m_head, club, power); }
    // Yards the ball drifts to the right per unit of wind blowing from the left.
    double crosswindDrift(int32_t club, double power) const { return windFigure(m_cross, club, power); }

private:
    using Row = std::array<float, stops + 1>;  // index 0: no power, no distance
    using WindRow = std::array<std::array<float, 5>, Clubs::count>;

    static int32_t row(int32_t kind);
    static double at(const Row& r, double power);
    static double inverse(const Row& r, double yards);
    static double windFigure(const WindRow& figures, int32_t club, double power);

    std::array<Row, Clubs::count> m_carry{};
    std::array<std::array<Row, 8>, Clubs::count> m_total{};
    WindRow m_tail{}, m_head{}, m_cross{};
};

}  // namespace fairholm::coursecheck
