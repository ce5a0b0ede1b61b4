// Where the wheel picture puts things: free functions of values, no widgets.
//
// Angles are in degrees with 0 at the top of the dial and positive clockwise, the way
// the wheel turns to the right. An angle exists only when the board's counts a turn
// are known (CountsPerTurn); without them every angle here is nullopt, never a guess.
#pragma once

#include <QPointF>
#include <QRectF>
#include <QSizeF>

#include <chrono>
#include <cstdint>
#include <optional>

namespace kx {

// The live position in degrees, exactly as the Degrees label shows it.
std::optional<double> PositionAngle(std::int16_t counts, std::optional<int> countsPerTurn);

// A setting in counts (stops, centre offset) in degrees, unrounded: the settings reach
// past the position's 16 signed bits.
std::optional<double> SettingAngle(std::int32_t counts, std::optional<int> countsPerTurn);

struct StopsSpan {
    double StopDegrees;        // each side of the top of the dial
    double LockToLockDegrees;  // twice that
    double ShadedSweep;        // of the rim, at most one full turn
};

// nullopt when the stops are refused or the angle of a count is unknown.
std::optional<StopsSpan> StopsSpanOf(std::optional<std::int32_t> stops, std::optional<int> countsPerTurn);

// Lock to lock as written: to one decimal, halves going up, as the Degrees label rounds.
double LockToLockShown(double lockToLockDegrees);

// A point on a circle at an angle, 0 at the top, clockwise; any angle, turns wrap.
QPointF DialPoint(QPointF centre, double radius, double degrees);

// QPainter's arcs count sixteenths of a degree anticlockwise from three o'clock: the
// start and span of the dial's arc from -stop to +stop through the top.
struct QtArc {
    int Start16;
    int Span16;
};
QtArc ArcBetweenStops(const StopsSpan& span);

// The trace shows this long, newest reading at the right edge.
inline constexpr std::chrono::milliseconds TraceWindow{10000};

// Whether a reading taken at `when` is still in the trace that ends at `newest`.
bool InTrace(std::chrono::steady_clock::time_point when, std::chrono::steady_clock::time_point newest);

// x of a reading across a trace of this left edge and width: the newest at the right
// edge, one TraceWindow older at the left.
double TraceX(std::chrono::steady_clock::time_point when, std::chrono::steady_clock::time_point newest,
              double left, double width);

// Half the trace's height in the trace's unit: room for the stops and every reading
// shown, with a margin, and never less than `least`.
double TraceHalfRange(std::optional<double> stop, double largestReading, double least);

// y of a value in a trace of this top edge and height, zero in the middle, positive up.
double TraceY(double value, double halfRange, double top, double height);

// Where the parts of the picture stand in a widget of this size, in logical pixels.
struct PictureLayout {
    QPointF DialCentre;
    double DialRadius;
    QRectF LockText;  // the lock-to-lock line under the dial
    QRectF Trace;
    QRectF TraceCaption;  // under the trace
};
PictureLayout LayOutPicture(QSizeF size, double lineHeight);

}  // namespace kx
