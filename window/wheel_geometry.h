// Where the wheel picture puts things: free functions of values, no widgets.
//
// Angles are in degrees with 0 at the top of the dial and positive clockwise, the way
// the wheel turns to the right. An angle exists only when the board's counts a turn
// are known (CountsPerTurn); without them every angle here is nullopt, never a guess.
#pragma once

#include <QFontMetricsF>
#include <QLineF>
#include <QLocale>
#include <QPointF>
#include <QPolygonF>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

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

// The marks on the dial, drawn from these and kept clear of by the labels.
// The width of the rim.
double RimBand(double radius);
// A stop's mark: a line across the rim, reaching past it on the outside, this wide.
inline constexpr double StopMarkWidth = 3;
QLineF StopMark(const PictureLayout& l, double degrees);
// The centre offset's notch: a triangle outside the rim pointing in.
QPolygonF CentreNotch(const PictureLayout& l, double degrees);
// The live marker's dot on the rim, its outline included in the radius.
struct LiveDot {
    QPointF Centre;
    double Radius;
    double Outline;  // the width of the ring drawn round it
};
LiveDot LiveDotAt(const PictureLayout& l, double degrees);

// The boxes of the marks shown: each stop's mark (both sides), the notch and the dot,
// those given.
std::vector<QRectF> DialMarkBoxes(const PictureLayout& l, std::optional<double> stopDegrees,
                                  std::optional<double> centreDegrees, std::optional<double> liveDegrees);

// A stop's label: its text and the angle its mark stands at.
struct StopLabel {
    QString Text;
    double Degrees;
};

// The labels of the stops each side, both from one rounding of the stop's angle (to a
// tenth, halves away from zero): "+219.7°" and "-219.7°". Where the two marks meet
// (the rounded angle a multiple of half a turn) one label says both: "±180°", "±540°",
// "0°". The counts a turn must be known.
std::vector<StopLabel> StopLabels(std::int32_t stops, int countsPerTurn, const QLocale& locale);

// Tenths of a degree as the window shows them: TenthsText with the locale's decimal
// separator ("899,9" in German).
QString TenthsShown(std::int64_t tenths, const QLocale& locale);

// The stop's angle without its sign, as its labels give it: "219.7".
QString StopAngleText(std::int32_t stops, int countsPerTurn, const QLocale& locale);

struct PlacedLabel {
    QString Text;
    QRectF Box;
};

// Where the stops' labels stand, in `metrics`' font: inside the rim, each as near its
// mark as it fits, within the ring that no mark and no position of the live dot ever
// enters, so that none of them covers a label wherever the wheel stands. Two that would
// meet stand side by side, each on its own mark's side. Where that does not fit (a dial
// too small for its text) there are none: the lock-to-lock line under the dial still
// says the angle.
std::vector<PlacedLabel> PlaceStopLabels(const PictureLayout& l, const std::vector<StopLabel>& labels,
                                         const QFontMetricsF& metrics);

}  // namespace kx
