#include "wheel_picture.h"

#include "display_text.h"
#include "input_report.h"
#include "settings_table.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLocale>
#include <QPainter>
#include <QPaintEngine>
#include <QPaintEvent>
#include <QPainterPath>
#include <QVarLengthArray>

#include <algorithm>
#include <cmath>

namespace kx {

namespace {

// Ten seconds of readings at the window's 100 ms; a caller giving them faster loses
// the oldest rather than growing without bound.
constexpr std::size_t MostReadings = 1000;
// The trace's scale never narrows below this, so a wheel at rest does not fill it with noise.
constexpr double LeastTraceDegrees = 45;
constexpr double LeastTraceCounts = 500;

// Between two palette colours: lines that must show on any theme without a fixed colour.
QColor Blend(const QColor& a, const QColor& b, double t)
{
    return QColor::fromRgbF(static_cast<float>(a.redF() + (b.redF() - a.redF()) * t),
                            static_cast<float>(a.greenF() + (b.greenF() - a.greenF()) * t),
                            static_cast<float>(a.blueF() + (b.blueF() - a.blueF()) * t));
}

std::optional<std::int32_t> Accepted(const char* name, std::optional<std::int32_t> counts)
{
    const SettingsField* field = FindSettingByName(name);
    if (!counts || !field || !InRange(*field, *counts))
        return std::nullopt;
    return counts;
}

// The stops' labels, a little smaller than the rest.
QFont SmallFont(const QFont& font)
{
    QFont small = font;
    small.setPointSizeF(small.pointSizeF() * 0.85);
    return small;
}

QRectF MiddleText(const PictureLayout& l)
{
    const double r = l.DialRadius;
    return {l.DialCentre.x() - r * 0.8, l.DialCentre.y() - r * 0.35, r * 1.6, r * 0.7};
}

QString DegreesWord(double degrees)
{
    return QCoreApplication::translate("kx::WheelPicture", "%1 degrees").arg(DegreesText(degrees, QLocale()));
}

}  // namespace

WheelPicture::WheelPicture(QWidget* parent) : QWidget(parent), AbsentText(tr("No board"))
{
    setObjectName(QStringLiteral("WheelPicture"));
    // Every pixel is painted here: Qt need not clear behind it first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    Changed();
}

void WheelPicture::SetCountsPerTurn(std::optional<int> countsPerTurn)
{
    if (countsPerTurn && *countsPerTurn <= 0)
        countsPerTurn.reset();
    if (PerTurn == countsPerTurn)
        return;
    PerTurn = countsPerTurn;
    Changed();
}

void WheelPicture::SetBoardPresent(bool present)
{
    if (Present == present)
        return;
    Present = present;
    Live.reset();
    Readings.clear();
    Changed();
}

void WheelPicture::SetPosition(std::int16_t counts, std::chrono::steady_clock::time_point when)
{
    if (!Present)
        return;
    if (!Readings.empty()) {
        const Reading& newest = Readings.back();
        if (when == newest.When && counts == newest.Counts)
            return;
    }
    const QRegion before = LiveRegion(Layout());
    const double halfBefore = TraceHalf();
    if (!Readings.empty() && when < Readings.back().When)
        Readings.clear();
    Readings.push_back({when, counts});
    while (Readings.size() > MostReadings || !InTrace(Readings.front().When, when))
        Readings.pop_front();
    Live = counts;
    ReadingChanged(before, halfBefore);
}

void WheelPicture::ClearPosition()
{
    if (!Live && Readings.empty())
        return;
    const QRegion before = LiveRegion(Layout());
    const double halfBefore = TraceHalf();
    Live.reset();
    Readings.clear();
    ReadingChanged(before, halfBefore);
}

void WheelPicture::SetStops(std::optional<std::int32_t> counts)
{
    counts = Accepted("Slimit", counts);
    if (Stops == counts)
        return;
    Stops = counts;
    Changed();
}

void WheelPicture::SetCentre(std::optional<std::int32_t> counts)
{
    counts = Accepted("Homing", counts);
    if (Centre == counts)
        return;
    Centre = counts;
    Changed();
}

void WheelPicture::SetAbsentText(const QString& text)
{
    if (AbsentText == text)
        return;
    AbsentText = text;
    Changed();
}

QSize WheelPicture::sizeHint() const
{
    return {300, 600};
}

QSize WheelPicture::minimumSizeHint() const
{
    return {160, 320};
}

void WheelPicture::changeEvent(QEvent* event)
{
    // A new theme or font changes what is drawn without any setter being called.
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::FontChange) {
        BackdropValid = false;
        update();
    }
    QWidget::changeEvent(event);
}

void WheelPicture::Changed()
{
    BackdropValid = false;
    update();
    Retell();
}

void WheelPicture::ReadingChanged(const QRegion& before, double halfBefore)
{
    // The trace's scale moves its stop lines, which are in the backdrop.
    if (TraceHalf() != halfBefore)
        update();
    else
        update(before + LiveRegion(Layout()));
    Retell();
}

void WheelPicture::Retell()
{
    // A screen reader hears what the dial shows: the angle, and the range the stops allow.
    const QString name = tr("Wheel: %1").arg(LiveText());
    QString description = LockToLockText();
    if (Centre) {
        const std::optional<double> centre = SettingAngle(*Centre, PerTurn);
        const QString offset = centre ? DegreesWord(LockToLockShown(*centre))
                                      : tr("%1 counts").arg(*Centre);
        description += (description.isEmpty() ? QString() : QStringLiteral("; ")) + tr("centre offset %1").arg(offset);
    }
    if (accessibleName() != name)
        setAccessibleName(name);
    if (accessibleDescription() != description)
        setAccessibleDescription(description);
}

QString WheelPicture::LiveText() const
{
    if (!Present)
        return AbsentText;
    if (!Live)
        return tr("no reading");
    if (const std::optional<double> angle = PositionAngle(*Live, PerTurn))
        return DegreesWord(*angle);
    return tr("%1 counts").arg(*Live);
}

QString WheelPicture::LockToLockText() const
{
    if (const std::optional<std::int64_t> tenths = Stops ? RotationTenths(*Stops, PerTurn) : std::nullopt)
        return tr("%1 degrees lock to lock").arg(TenthsShown(*tenths, QLocale()));
    if (Stops)
        return tr("%1 counts lock to lock").arg(2 * static_cast<std::int64_t>(*Stops));
    return QString();
}

double WheelPicture::TraceValue(std::int32_t counts) const
{
    if (const std::optional<double> angle = SettingAngle(counts, PerTurn))
        return *angle;
    return counts;
}

double WheelPicture::TraceHalf() const
{
    double largest = 0;
    for (const Reading& reading : Readings)
        largest = std::max(largest, std::abs(TraceValue(reading.Counts)));
    std::optional<double> stop;
    if (Stops)
        stop = TraceValue(*Stops);
    return TraceHalfRange(stop, largest, PerTurn ? LeastTraceDegrees : LeastTraceCounts);
}

PictureLayout WheelPicture::Layout() const
{
    return LayOutPicture(QSizeF(size()), fontMetrics().height());
}

std::optional<double> WheelPicture::LiveAngle() const
{
    if (!Present || !Live)
        return std::nullopt;
    return PositionAngle(*Live, PerTurn);
}

QRegion WheelPicture::LiveRegion(const PictureLayout& l) const
{
    QRegion region = MiddleText(l).toAlignedRect().adjusted(-1, -1, 1, 1);
    region += l.Trace.toAlignedRect().adjusted(-1, -1, 1, 1);
    if (const std::optional<double> angle = LiveAngle()) {
        const double r = l.DialRadius, margin = RimBand(r) + 4;
        const QRectF spoke = QRectF(DialPoint(l.DialCentre, r * 0.45, *angle), DialPoint(l.DialCentre, r, *angle))
                                 .normalized()
                                 .adjusted(-margin, -margin, margin, margin);
        region += spoke.toAlignedRect();
    }
    return region;
}

void WheelPicture::paintEvent(QPaintEvent* event)
{
    QPainter p(this);
    // The device painted on, which is not this widget's screen when rendered elsewhere.
    const qreal dpr = p.paintEngine()->paintDevice()->devicePixelRatioF();
    const PictureLayout l = Layout();
    const double half = TraceHalf();
    const QSize pixels = (QSizeF(size()) * dpr).toSize();
    if (!BackdropValid || Backdrop.size() != pixels || Backdrop.devicePixelRatioF() != dpr || BackdropHalf != half) {
        Backdrop = QPixmap(pixels);
        Backdrop.setDevicePixelRatio(dpr);
        QPainter b(&Backdrop);
        b.setRenderHint(QPainter::Antialiasing);
        b.fillRect(rect(), palette().color(QPalette::Window));
        Labels = StopLabelsShown(l);
        PaintDial(b, l);
        PaintTraceFrame(b, l, half);
        BackdropValid = true;
        BackdropHalf = half;
    }
    // Only what is to be painted: a blit of the whole backdrop through the clip would
    // cost more than the rest of a reading's repaint.
    for (const QRect& r : event->region())
        p.drawPixmap(QRectF(r), Backdrop, QRectF(QPointF(r.topLeft()) * dpr, QSizeF(r.size()) * dpr));
    p.setRenderHint(QPainter::Antialiasing);
    PaintLive(p, l, half);
}

std::vector<PlacedLabel> WheelPicture::StopLabelsShown(const PictureLayout& l) const
{
    if (!Stops || !PerTurn)
        return {};
    return PlaceStopLabels(l, StopLabels(*Stops, *PerTurn, QLocale()), QFontMetricsF(SmallFont(font())));
}

void WheelPicture::PaintDial(QPainter& p, const PictureLayout& l) const
{
    const QPalette& pal = palette();
    const QColor text = pal.color(QPalette::WindowText);
    const QColor rim = Blend(pal.color(QPalette::Window), text, 0.35);
    const QPointF c = l.DialCentre;
    const double r = l.DialRadius;
    const double band = RimBand(r);

    p.setPen(Qt::NoPen);
    p.setBrush(pal.color(QPalette::Base));
    p.drawEllipse(c, r, r);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(rim, band, Qt::SolidLine, Qt::FlatCap));
    p.drawEllipse(c, r, r);

    const std::optional<StopsSpan> span = StopsSpanOf(Stops, PerTurn);
    if (span) {
        QColor shade = pal.color(QPalette::Highlight);
        shade.setAlphaF(0.55f);
        const QtArc arc = ArcBetweenStops(*span);
        const QRectF box(c.x() - r, c.y() - r, 2 * r, 2 * r);
        p.setPen(QPen(shade, band, Qt::SolidLine, Qt::FlatCap));
        p.drawArc(box, arc.Start16, arc.Span16);
        // The stops cross the rim, reaching past it on the outside.
        p.setPen(QPen(text, StopMarkWidth, Qt::SolidLine, Qt::FlatCap));
        for (const double side : {-span->StopDegrees, span->StopDegrees})
            p.drawLine(StopMark(l, side));
        // Past half a turn a stop stands where a smaller angle would: its angle says which.
        p.setFont(SmallFont(font()));
        for (const PlacedLabel& label : Labels)
            p.drawText(label.Box, Qt::AlignCenter, label.Text);
    }

    if (const std::optional<double> centre = Centre ? SettingAngle(*Centre, PerTurn) : std::nullopt) {
        // A notch outside the rim pointing in, unlike the stops that cross it.
        p.setPen(Qt::NoPen);
        p.setBrush(text);
        p.drawPolygon(CentreNotch(l, *centre));
        p.setBrush(Qt::NoBrush);
    }

    p.setFont(font());
    p.setPen(text);
    p.drawText(l.LockText, Qt::AlignHCenter | Qt::AlignTop, LockToLockText());
}

void WheelPicture::PaintTraceFrame(QPainter& p, const PictureLayout& l, double half) const
{
    const QPalette& pal = palette();
    const QColor text = pal.color(QPalette::WindowText);
    const QRectF& t = l.Trace;
    p.setPen(QPen(Blend(pal.color(QPalette::Window), text, 0.35), 1));
    p.setBrush(pal.color(QPalette::Base));
    p.drawRect(t);
    p.setBrush(Qt::NoBrush);

    const bool degrees = PerTurn.has_value();
    p.setPen(text);
    p.drawText(l.TraceCaption, Qt::AlignHCenter | Qt::AlignTop,
               degrees ? tr("Last 10 s, degrees") : tr("Last 10 s, counts"));
    if (t.height() <= 0)
        return;

    std::optional<double> stop;
    if (Stops)
        stop = TraceValue(*Stops);
    auto y = [&](double value) { return TraceY(value, half, t.top(), t.height()); };

    p.save();
    p.setClipRect(t.adjusted(1, 1, -1, -1));
    p.setPen(QPen(Blend(pal.color(QPalette::Base), pal.color(QPalette::Text), 0.2), 1));
    p.drawLine(QPointF(t.left(), y(0)), QPointF(t.right(), y(0)));
    if (stop) {
        p.setPen(QPen(pal.color(QPalette::Text), 1.5));
        const QFont small = SmallFont(font());
        p.setFont(small);
        for (const double side : {*stop, -*stop}) {
            p.drawLine(QPointF(t.left(), y(side)), QPointF(t.right(), y(side)));
            const QString sign = side > 0 ? QStringLiteral("+") : QStringLiteral("-");
            // The dial's rounding, so that the two sides and the dial's labels agree.
            const QString label = degrees ? sign + StopAngleText(*Stops, *PerTurn, QLocale()) + QChar(0x00B0)
                                          : sign + QString::number(std::abs(side));
            const double h = QFontMetricsF(small).height();
            // Between the two lines while there is room for both labels there; outside
            // them when the stops are close, where nothing else is.
            const bool between = y(-*stop) - y(*stop) >= 2 * h + 4;
            const bool below = (side > 0) == between;
            const QRectF where(t.left() + 4, below ? y(side) + 1 : y(side) - h - 1, t.width() - 8, h);
            p.drawText(where, Qt::AlignLeft | Qt::AlignVCenter, label);
        }
    }
    p.restore();
}

void WheelPicture::PaintLive(QPainter& p, const PictureLayout& l, double half) const
{
    const QPalette& pal = palette();
    const QPointF c = l.DialCentre;
    const double r = l.DialRadius;
    const std::optional<double> angle = LiveAngle();
    if (angle) {
        const QColor marker = pal.color(QPalette::Highlight);
        p.setPen(QPen(marker, 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(DialPoint(c, r * 0.45, *angle), DialPoint(c, r, *angle));
        const LiveDot dot = LiveDotAt(l, *angle);
        p.setPen(QPen(pal.color(QPalette::Base), dot.Outline));
        p.setBrush(marker);
        p.drawEllipse(dot.Centre, dot.Radius - dot.Outline / 2, dot.Radius - dot.Outline / 2);
        p.setBrush(Qt::NoBrush);
        // The spoke may cross a stop's label: the label stays on top, on the dial's face.
        const QRectF spoke = QRectF(DialPoint(c, r * 0.45, *angle), DialPoint(c, r, *angle)).normalized().adjusted(-2, -2, 2, 2);
        bool fontSet = false;
        for (const PlacedLabel& label : Labels) {
            if (!label.Box.intersects(spoke))
                continue;
            if (!fontSet) {
                p.setFont(SmallFont(font()));
                fontSet = true;
            }
            p.fillRect(label.Box, pal.color(QPalette::Base));
            p.setPen(pal.color(QPalette::WindowText));
            p.drawText(label.Box, Qt::AlignCenter, label.Text);
        }
    }

    // In the middle: the angle, or the counts when the type is unknown, or why nothing.
    QString shown;
    if (!Present)
        shown = AbsentText;
    else if (angle)
        shown = DegreesText(*angle, QLocale()) + QChar(0x00B0);
    else if (Live)
        shown = tr("%1\ncounts").arg(*Live);
    if (!shown.isEmpty()) {
        QFont big = font();
        big.setPointSizeF(big.pointSizeF() * 1.6);
        big.setBold(true);
        p.setFont(big);
        p.setPen(pal.color(QPalette::Text));
        p.drawText(MiddleText(l), Qt::AlignCenter | Qt::TextWordWrap, shown);
    }

    const QRectF& t = l.Trace;
    if (!Present || Readings.empty() || t.height() <= 0)
        return;
    auto y = [&](double value) { return TraceY(value, half, t.top(), t.height()); };
    p.setClipRect(t.adjusted(1, 1, -1, -1));
    const auto newest = Readings.back().When;
    QVarLengthArray<QPointF, 128> line;
    for (const Reading& reading : Readings)
        line.append({TraceX(reading.When, newest, t.left(), t.width()), y(TraceValue(reading.Counts))});
    // One pixel wide: the raster engine strokes a line that thin on its quick path, a
    // sixth of what a thicker one costs at every reading, and a trace reads well so.
    p.setPen(QPen(pal.color(QPalette::Highlight), 1));
    if (line.size() == 1) {
        p.setBrush(pal.color(QPalette::Highlight));
        p.drawEllipse(line.front(), 2, 2);
    } else {
        p.drawPolyline(line.data(), static_cast<int>(line.size()));
    }
}

}  // namespace kx
