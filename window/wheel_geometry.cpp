#include "wheel_geometry.h"

#include "input_report.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kx {

namespace {

constexpr double Margin = 8;
// Outside the rim: the stop marks and the centre mark stand beyond it.
constexpr double RimRoom = 16;
// Above and below the largest value the trace shows, so its line never runs along the edge.
constexpr double TraceHeadroom = 1.15;

}  // namespace

std::optional<double> PositionAngle(std::int16_t counts, std::optional<int> countsPerTurn)
{
    if (!countsPerTurn || *countsPerTurn <= 0)
        return std::nullopt;
    return PositionDegrees(counts, *countsPerTurn);
}

std::optional<double> SettingAngle(std::int32_t counts, std::optional<int> countsPerTurn)
{
    if (!countsPerTurn || *countsPerTurn <= 0)
        return std::nullopt;
    return 360.0 * counts / *countsPerTurn;
}

std::optional<StopsSpan> StopsSpanOf(std::optional<std::int32_t> stops, std::optional<int> countsPerTurn)
{
    if (!stops || *stops < 0)
        return std::nullopt;
    const std::optional<double> stop = SettingAngle(*stops, countsPerTurn);
    if (!stop)
        return std::nullopt;
    return StopsSpan{*stop, 2 * *stop, std::min(2 * *stop, 360.0)};
}

double LockToLockShown(double lockToLockDegrees)
{
    return std::floor(lockToLockDegrees * 10.0 + 0.5) / 10.0;
}

QPointF DialPoint(QPointF centre, double radius, double degrees)
{
    const double a = degrees * std::numbers::pi / 180.0;
    return {centre.x() + radius * std::sin(a), centre.y() - radius * std::cos(a)};
}

QtArc ArcBetweenStops(const StopsSpan& span)
{
    return {static_cast<int>(std::lround((90.0 + span.ShadedSweep / 2) * 16)),
            -static_cast<int>(std::lround(span.ShadedSweep * 16))};
}

bool InTrace(std::chrono::steady_clock::time_point when, std::chrono::steady_clock::time_point newest)
{
    return when <= newest && newest - when <= TraceWindow;
}

double TraceX(std::chrono::steady_clock::time_point when, std::chrono::steady_clock::time_point newest,
              double left, double width)
{
    const std::chrono::duration<double> age = newest - when;
    const std::chrono::duration<double> window = TraceWindow;
    return left + width * (1.0 - age / window);
}

double TraceHalfRange(std::optional<double> stop, double largestReading, double least)
{
    const double shown = std::max(std::abs(largestReading), stop ? std::abs(*stop) : 0.0);
    return std::max(shown * TraceHeadroom, least);
}

double TraceY(double value, double halfRange, double top, double height)
{
    return top + height / 2 - value / halfRange * (height / 2);
}

PictureLayout LayOutPicture(QSizeF size, double lineHeight)
{
    const double w = size.width(), h = size.height();
    const double dial = std::max(0.0, std::min(w - 2 * Margin, h / 2 - Margin));
    PictureLayout l;
    l.DialCentre = QPointF(w / 2, Margin + dial / 2);
    l.DialRadius = std::max(0.0, dial / 2 - RimRoom);
    l.LockText = QRectF(Margin, Margin + dial + 2, w - 2 * Margin, lineHeight);
    const double traceTop = l.LockText.bottom() + 12;
    const double traceBottom = h - Margin - lineHeight - 4;
    l.Trace = QRectF(Margin, traceTop, w - 2 * Margin, std::max(0.0, traceBottom - traceTop));
    l.TraceCaption = QRectF(Margin, h - Margin - lineHeight, w - 2 * Margin, lineHeight);
    return l;
}

}  // namespace kx
