#include "wheel_geometry.h"

#include "input_report.h"
#include "whole_scale.h"

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
// How far a stop's mark reaches past the rim, and the centre notch's tip and base.
constexpr double StopMarkOutside = 12;
constexpr double NotchBase = 14;
constexpr double NotchHalfDegrees = 4;
constexpr double DotOutline = 2;
// The rim's width and the dot's radius, as shares of the dial's radius and the rim's width.
constexpr double RimShare = 0.09;
constexpr double DotShare = 0.9;
// Between a label and anything else.
constexpr double LabelGap = 2;

QRectF AroundLine(const QLineF& line, double width)
{
    return QRectF(line.p1(), line.p2()).normalized().adjusted(-width / 2, -width / 2, width / 2, width / 2);
}

// The radius within which a label stands clear of every mark and of the dot wherever
// the wheel is. The box of a line from radius r1 outwards keeps r1 from the centre,
// less its half width along both axes; a square box round a point at radius r keeps
// r less its half diagonal.
double LabelRadius(const PictureLayout& l)
{
    const double r = l.DialRadius;
    const double mark = r - RimBand(r) - StopMarkWidth / 2 * std::numbers::sqrt2;
    const double dot = r - LiveDotAt(l, 0).Radius * std::numbers::sqrt2;
    return std::min(mark, dot) - LabelGap;
}

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
    // The dot grows with the rim and stands on it: on a large dial it reaches further
    // out than the marks, and must stay inside too.
    l.DialRadius = std::max(0.0, std::min(dial / 2 - RimRoom, (dial / 2 - DotOutline / 2) / (1 + RimShare * DotShare)));
    l.LockText = QRectF(Margin, Margin + dial + 2, w - 2 * Margin, lineHeight);
    const double traceTop = l.LockText.bottom() + 12;
    const double traceBottom = h - Margin - lineHeight - 4;
    l.Trace = QRectF(Margin, traceTop, w - 2 * Margin, std::max(0.0, traceBottom - traceTop));
    l.TraceCaption = QRectF(Margin, h - Margin - lineHeight, w - 2 * Margin, lineHeight);
    return l;
}

}  // namespace kx

namespace kx {

double RimBand(double radius)
{
    return std::max(4.0, radius * RimShare);
}

QLineF StopMark(const PictureLayout& l, double degrees)
{
    const double r = l.DialRadius;
    return {DialPoint(l.DialCentre, r - RimBand(r), degrees), DialPoint(l.DialCentre, r + StopMarkOutside, degrees)};
}

QPolygonF CentreNotch(const PictureLayout& l, double degrees)
{
    const QPointF c = l.DialCentre;
    const double r = l.DialRadius;
    return QPolygonF({DialPoint(c, r + RimBand(r) / 2 + 1, degrees), DialPoint(c, r + NotchBase, degrees + NotchHalfDegrees),
                      DialPoint(c, r + NotchBase, degrees - NotchHalfDegrees)});
}

LiveDot LiveDotAt(const PictureLayout& l, double degrees)
{
    return {DialPoint(l.DialCentre, l.DialRadius, degrees), RimBand(l.DialRadius) * DotShare + DotOutline / 2, DotOutline};
}

std::vector<QRectF> DialMarkBoxes(const PictureLayout& l, std::optional<double> stopDegrees,
                                  std::optional<double> centreDegrees, std::optional<double> liveDegrees)
{
    std::vector<QRectF> boxes;
    if (stopDegrees)
        for (const double side : {-*stopDegrees, *stopDegrees})
            boxes.push_back(AroundLine(StopMark(l, side), StopMarkWidth));
    if (centreDegrees)
        boxes.push_back(CentreNotch(l, *centreDegrees).boundingRect());
    if (liveDegrees) {
        const LiveDot dot = LiveDotAt(l, *liveDegrees);
        boxes.push_back(QRectF(dot.Centre.x() - dot.Radius, dot.Centre.y() - dot.Radius, 2 * dot.Radius, 2 * dot.Radius));
    }
    return boxes;
}

QString TenthsShown(std::int64_t tenths, const QLocale& locale)
{
    return QString::fromStdString(TenthsText(tenths)).replace(u'.', locale.decimalPoint());
}

namespace {

// The stop's angle in tenths of a degree, without its sign: the one rounding its
// labels come from.
std::int64_t StopTenths(std::int32_t stops, int countsPerTurn)
{
    return ScaleRounded(stops < 0 ? -std::int64_t(stops) : stops, 3600, countsPerTurn);
}

}  // namespace

QString StopAngleText(std::int32_t stops, int countsPerTurn, const QLocale& locale)
{
    return TenthsShown(StopTenths(stops, countsPerTurn), locale);
}

std::vector<StopLabel> StopLabels(std::int32_t stops, int countsPerTurn, const QLocale& locale)
{
    const QString angle = StopAngleText(stops, countsPerTurn, locale) + QChar(0x00B0);
    // The marks meet where the angle is a whole number of half turns, as the text says.
    const std::int64_t tenths = StopTenths(stops, countsPerTurn);
    if (tenths % 1800 == 0) {
        if (tenths == 0)
            return {{angle, 0}};
        return {{QChar(0x00B1) + angle, (tenths / 1800) % 2 == 0 ? 0.0 : 180.0}};
    }
    const double stop = 360.0 * stops / countsPerTurn;
    return {{QLatin1Char('+') + angle, stop}, {QLatin1Char('-') + angle, -stop}};
}

std::vector<PlacedLabel> PlaceStopLabels(const PictureLayout& l, const std::vector<StopLabel>& labels,
                                         const QFontMetricsF& metrics)
{
    const double inside = LabelRadius(l);
    const QPointF c = l.DialCentre;
    auto sizeOf = [&](const QString& text) {
        return QSizeF(std::max(metrics.horizontalAdvance(text), metrics.boundingRect(text).width()) + 2, metrics.height());
    };
    auto fits = [&](const QRectF& box) {
        for (const QPointF corner : {box.topLeft(), box.topRight(), box.bottomLeft(), box.bottomRight()})
            if (QLineF(c, corner).length() > inside)
                return false;
        return true;
    };

    std::vector<PlacedLabel> placed;
    for (const StopLabel& label : labels) {
        // As far out along its mark's angle as the box fits: its farthest corner, at
        // rho·|u| + half its size along each axis, then lies on the circle. A little
        // short of it, so that rounding never puts a corner on the far side.
        const QSizeF size = sizeOf(label.Text);
        const double a = size.width() / 2, b = size.height() / 2;
        const double angle = label.Degrees * std::numbers::pi / 180.0;
        const double ux = std::sin(angle), uy = -std::cos(angle);
        const double k = a * std::abs(ux) + b * std::abs(uy);
        const double rest = inside * inside - a * a - b * b;
        if (inside <= 0 || rest <= 0)
            return {};
        const double rho = -k + std::sqrt(k * k + rest) - 0.01;
        const QPointF at = c + QPointF(ux, uy) * rho;
        placed.push_back({label.Text, QRectF(at.x() - a, at.y() - b, 2 * a, 2 * b)});
    }

    if (placed.size() == 2 && placed[0].Box.adjusted(-LabelGap, -LabelGap, LabelGap, LabelGap).intersects(placed[1].Box)) {
        // The two marks stand either side of the top or the bottom, mirror images: their
        // labels go beside each other across the middle, each on its own mark's side.
        const bool lower = std::cos(labels[0].Degrees * std::numbers::pi / 180.0) < 0;
        const bool firstLeft = std::sin(labels[0].Degrees * std::numbers::pi / 180.0) < 0;
        QRectF& left = firstLeft ? placed[0].Box : placed[1].Box;
        QRectF& right = firstLeft ? placed[1].Box : placed[0].Box;
        const double across = std::max(left.width(), right.width()) + LabelGap / 2;
        const double h = left.height();
        // Too narrow for both abreast: neither, rather than one standing by the other's mark.
        if (across >= inside)
            return {};
        const double edge = std::sqrt(inside * inside - across * across) - 0.01;
        const double top = lower ? c.y() + edge - h : c.y() - edge;
        left.moveTopLeft(QPointF(c.x() - LabelGap / 2 - left.width(), top));
        right.moveTopLeft(QPointF(c.x() + LabelGap / 2, top));
    }
    for (const PlacedLabel& label : placed)
        if (!fits(label.Box))
            return {};
    return placed;
}

}  // namespace kx
