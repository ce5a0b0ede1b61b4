// The wheel picture: where its marks stand, worked out by hand, and where they are drawn.
#include "input_report.h"
#include "wheel_geometry.h"
#include "wheel_picture.h"

#include <QEvent>
#include <QImage>
#include <QScreen>
#include <QtTest>

#include <cmath>

#if KX_HAVE_RAPIDCHECK
#include <rapidcheck.h>
#endif

using namespace kx;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

Q_DECLARE_METATYPE(std::optional<int>)
Q_DECLARE_METATYPE(std::optional<double>)

namespace {

// Paint events reaching the picture: a setter that changes nothing must cause none.
struct PaintCounter : QObject {
    int Paints = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        Paints += event->type() == QEvent::Paint;
        return false;
    }
};

QPalette PlainPalette()
{
    QPalette p;
    for (QPalette::ColorRole role : {QPalette::Window, QPalette::Base})
        p.setColor(role, Qt::white);
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text})
        p.setColor(role, Qt::black);
    p.setColor(QPalette::Highlight, Qt::red);
    return p;
}

bool Reddish(QColor c) { return c.red() - c.green() > 100; }
bool Dark(QColor c) { return c.red() < 110 && c.green() < 110 && c.blue() < 110; }
bool Grey(QColor c) { return c.red() == c.green() && c.green() == c.blue() && c.red() > 110 && c.red() < 230; }

QString Describe(const QRectF& r)
{
    return QStringLiteral("(%1, %2 %3x%4)").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

// What is wrong with a dial's labels: one on another, on a mark or the dot, or any box
// outside the widget; empty when nothing is.
QString Clash(const std::vector<PlacedLabel>& labels, const std::vector<QRectF>& marks, QSizeF size)
{
    const QRectF widget(QPointF(0, 0), size);
    for (std::size_t i = 0; i < labels.size(); ++i) {
        const QRectF& box = labels[i].Box;
        if (!widget.contains(box))
            return labels[i].Text + QStringLiteral(" outside the widget at ") + Describe(box);
        for (std::size_t j = i + 1; j < labels.size(); ++j)
            if (box.intersects(labels[j].Box))
                return labels[i].Text + QStringLiteral(" on ") + labels[j].Text;
        for (const QRectF& mark : marks)
            if (box.intersects(mark))
                return labels[i].Text + QStringLiteral(" at ") + Describe(box) + QStringLiteral(" on a mark at ") +
                       Describe(mark);
    }
    for (const QRectF& mark : marks)
        if (!widget.contains(mark))
            return QStringLiteral("a mark outside the widget at ") + Describe(mark);
    return {};
}

QStringList Texts(const std::vector<StopLabel>& labels)
{
    QStringList texts;
    for (const StopLabel& label : labels)
        texts << label.Text;
    return texts;
}

// The stops' labels as the picture draws them, in its font.
QFont LabelFont(double points)
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPointSizeF(points * 0.85);
    return font;
}

}  // namespace

class TestWheelPicture : public QObject {
    Q_OBJECT

private slots:
    void anglesByBoardType_data()
    {
        QTest::addColumn<std::optional<int>>("type");
        QTest::addColumn<int>("counts");
        QTest::addColumn<std::optional<double>>("position");  // as the Degrees label rounds
        QTest::addColumn<std::optional<double>>("setting");   // unrounded
        QTest::newRow("type 1, quarter turn") << std::optional(1) << 2048 << std::optional(90.0) << std::optional(90.0);
        QTest::newRow("type 3, quarter turn") << std::optional(3) << 2500 << std::optional(90.0) << std::optional(90.0);
        QTest::newRow("type 2, a turn left") << std::optional(2) << -10000 << std::optional(-360.0)
                                             << std::optional(-360.0);
        QTest::newRow("type 1, 11.25 rounds up") << std::optional(1) << 256 << std::optional(11.3)
                                                 << std::optional(11.25);
        QTest::newRow("type 4: no angle") << std::optional(4) << 2048 << std::optional<double>()
                                          << std::optional<double>();
        QTest::newRow("type never read") << std::optional<int>() << 2048 << std::optional<double>()
                                         << std::optional<double>();
    }

    void anglesByBoardType()
    {
        QFETCH(std::optional<int>, type);
        QFETCH(int, counts);
        QFETCH(std::optional<double>, position);
        QFETCH(std::optional<double>, setting);
        QCOMPARE(PositionAngle(static_cast<std::int16_t>(counts), CountsPerTurn(type)), position);
        QCOMPARE(SettingAngle(counts, CountsPerTurn(type)), setting);
    }

    void stopsSpan()
    {
        const std::optional<StopsSpan> quarter = StopsSpanOf(2048, CountsPerTurn(1));
        QVERIFY(quarter);
        QCOMPARE(quarter->StopDegrees, 90.0);
        QCOMPARE(quarter->LockToLockDegrees, 180.0);
        QCOMPARE(quarter->ShadedSweep, 180.0);
        // From -90 (twelve to nine o'clock is +90 in Qt's terms) clockwise through the top.
        QCOMPARE(ArcBetweenStops(*quarter).Start16, 180 * 16);
        QCOMPARE(ArcBetweenStops(*quarter).Span16, -180 * 16);

        const std::optional<StopsSpan> wide = StopsSpanOf(7500, CountsPerTurn(3));
        QVERIFY(wide);
        QCOMPARE(wide->LockToLockDegrees, 540.0);
        QCOMPARE(wide->ShadedSweep, 360.0);  // the whole rim, once

        QCOMPARE(LockToLockShown(StopsSpanOf(1000, CountsPerTurn(1))->LockToLockDegrees), 87.9);  // 87.890625
        QCOMPARE(StopsSpanOf(65535, CountsPerTurn(2))->LockToLockDegrees, 4718.52);
        QVERIFY(!StopsSpanOf(std::nullopt, CountsPerTurn(1)));
        QVERIFY(!StopsSpanOf(2048, CountsPerTurn(4)));
    }

    void dialAndTrace()
    {
        const QPointF c(150, 150);
        QCOMPARE(DialPoint(c, 100, 0), QPointF(150, 50));
        QCOMPARE(DialPoint(c, 100, 90), QPointF(250, 150));  // turned right: clockwise
        QCOMPARE(DialPoint(c, 100, -90), QPointF(50, 150));
        QCOMPARE(DialPoint(c, 100, 450), QPointF(250, 150));

        const Clock::time_point newest{100s};
        QVERIFY(InTrace(newest, newest));
        QVERIFY(InTrace(newest - 10s, newest));
        QVERIFY(!InTrace(newest - 10001ms, newest));
        QVERIFY(!InTrace(newest + 1ms, newest));
        QCOMPARE(TraceX(newest, newest, 10, 200), 210.0);
        QCOMPARE(TraceX(newest - 2500ms, newest, 10, 200), 160.0);
        QCOMPARE(TraceX(newest - 10s, newest, 10, 200), 10.0);

        QCOMPARE(TraceHalfRange(90.0, 30, 45), 103.5);
        QCOMPARE(TraceHalfRange(90.0, -200, 45), 230.0);
        QCOMPARE(TraceHalfRange(std::nullopt, 10, 45), 45.0);
        QCOMPARE(TraceY(90, 100, 20, 200), 30.0);
        QCOMPARE(TraceY(-100, 100, 20, 200), 220.0);

        const PictureLayout l = LayOutPicture(QSizeF(300, 600), 16);
        QCOMPARE(l.DialCentre, QPointF(150, 150));
        QCOMPARE(l.DialRadius, 126.0);
        QCOMPARE(l.Trace, QRectF(8, 322, 284, 250));
    }

    // One rounding of the stop's angle for both labels; one label where the marks meet.
    void stopLabelsSayOneAngle_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("stops");
        QTest::addColumn<QStringList>("labels");
        const QString d = QChar(0x00B0);
        const QString both = QChar(0x00B1);
        // 256 × 360 / 8192 = 11.25: a half, away from zero on both sides.
        QTest::newRow("a half") << 1 << 256 << QStringList{"+11.3" + d, "-11.3" + d};
        QTest::newRow("6000") << 1 << 6000 << QStringList{"+263.7" + d, "-263.7" + d};
        QTest::newRow("nothing") << 1 << 0 << QStringList{"0" + d};
        QTest::newRow("half a turn") << 1 << 4096 << QStringList{both + "180" + d};
        QTest::newRow("half a turn, type 2") << 2 << 5000 << QStringList{both + "180" + d};
        // 4095 × 360 / 8192 = 179.96: the marks a tenth of a degree apart, shown as one.
        QTest::newRow("just short of half a turn") << 1 << 4095 << QStringList{both + "180" + d};
        QTest::newRow("just past half a turn") << 1 << 4100 << QStringList{"+180.2" + d, "-180.2" + d};
        QTest::newRow("a turn each side") << 1 << 8192 << QStringList{both + "360" + d};
        QTest::newRow("a turn and a half") << 3 << 15000 << QStringList{both + "540" + d};
    }

    void stopLabelsSayOneAngle()
    {
        QFETCH(int, type);
        QFETCH(int, stops);
        QFETCH(QStringList, labels);
        QCOMPARE(Texts(StopLabels(stops, *CountsPerTurn(type), QLocale::c())), labels);
    }

    // Every stops value on every board type, the wheel anywhere on the dial: the labels
    // are shown, and none is on another, on a mark or on the dot.
    void dialLabelsNeverMeet()
    {
        const QFontMetricsF metrics(LabelFont(10));
        const double lineHeight = QFontMetricsF(QFont(QStringLiteral("Liberation Sans"), 10)).height();
        // Every value at the usual size; a sample at the smallest, at sizes where the dot
        // outgrows the marks, and wide and short.
        const std::pair<QSizeF, int> sizes[] = {{{300, 600}, 1},  {{160, 320}, 13}, {{620, 1224}, 13},
                                                 {{1200, 700}, 13}, {{1200, 2400}, 13}};
        for (const auto& [size, step] : sizes) {
            const PictureLayout l = LayOutPicture(size, lineHeight);
            std::vector<QRectF> dots;
            for (int degrees = 0; degrees < 360; ++degrees)
                dots.push_back(DialMarkBoxes(l, std::nullopt, std::nullopt, degrees).front());
            for (int type : {1, 2, 3}) {
                const int perTurn = *CountsPerTurn(type);
                for (int stops = 0; stops <= 65535; stops += step) {
                    const std::vector<PlacedLabel> labels =
                        PlaceStopLabels(l, StopLabels(stops, perTurn, QLocale::c()), metrics);
                    std::vector<QRectF> marks =
                        DialMarkBoxes(l, SettingAngle(stops, perTurn), SettingAngle(-stops / 3, perTurn), std::nullopt);
                    marks.insert(marks.end(), dots.begin(), dots.end());
                    QString clash = Clash(labels, marks, size);
                    if (labels.empty() && l.DialRadius >= 126)
                        clash = QStringLiteral("no labels");
                    // Each label nearer its own mark than the other's: never the two swapped.
                    if (clash.isEmpty() && labels.size() == 2) {
                        const double stop = *SettingAngle(stops, perTurn);
                        auto from = [&](std::size_t i, double degrees) {
                            return QLineF(labels[i].Box.center(), DialPoint(l.DialCentre, l.DialRadius, degrees)).length();
                        };
                        if (from(0, stop) >= from(0, -stop) || from(1, -stop) >= from(1, stop))
                            clash = labels[0].Text + QStringLiteral(" nearer the other mark");
                    }
                    if (!clash.isEmpty())
                        QFAIL(qPrintable(QStringLiteral("%1x%2, type %3, stops %4: %5")
                                             .arg(size.width())
                                             .arg(size.height())
                                             .arg(type)
                                             .arg(stops)
                                             .arg(clash)));
                }
            }
        }
    }

#if KX_HAVE_RAPIDCHECK
    // Any size of picture and font, any stops, centre and position: the labels never meet
    // anything, and a dial of the usual size or larger always shows them.
    void dialLabelsNeverMeetAtAnySize()
    {
        const bool held = rc::check("the dial's labels never meet a label, a mark or the dot", [] {
            const int width = *rc::gen::inRange(160, 1200);
            const QSizeF size(width, *rc::gen::inRange(320, 1600));
            const double points = *rc::gen::inRange(6, 24);
            const int perTurn = *CountsPerTurn(*rc::gen::inRange(1, 4));
            const int stops = *rc::gen::inRange(0, 65536);
            const int centre = *rc::gen::inRange(-32768, 32768);
            const int position = *rc::gen::inRange(-32768, 32768);
            const PictureLayout l = LayOutPicture(size, QFontMetricsF(QFont(QStringLiteral("Liberation Sans"), points)).height());
            const std::vector<PlacedLabel> labels =
                PlaceStopLabels(l, StopLabels(stops, perTurn, QLocale::c()), QFontMetricsF(LabelFont(points)));
            const std::vector<QRectF> marks = DialMarkBoxes(l, SettingAngle(stops, perTurn), SettingAngle(centre, perTurn),
                                                            PositionAngle(static_cast<std::int16_t>(position), perTurn));
            const QString clash = Clash(labels, marks, size);
            RC_ASSERT(clash.toStdString() == std::string());
            if (l.DialRadius >= 126 && points <= 10)
                RC_ASSERT(!labels.empty());
        });
        QVERIFY(held);
    }
#endif

    void repaintsOnlyOnChange()
    {
        WheelPicture w;
        w.resize(300, 600);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        PaintCounter counter;
        w.installEventFilter(&counter);
        auto paintsAfter = [&](auto&& change) {
            counter.Paints = 0;
            change();
            QCoreApplication::sendPostedEvents();
            QCoreApplication::processEvents();
            return counter.Paints;
        };
        QCOMPARE(paintsAfter([&] { w.SetCountsPerTurn(CountsPerTurn(1)); }), 1);
        QCOMPARE(paintsAfter([&] { w.SetCountsPerTurn(8192); }), 0);
        QCOMPARE(paintsAfter([&] { w.SetBoardPresent(false); }), 0);
        QCOMPARE(paintsAfter([&] { w.SetPosition(100, Clock::time_point{1s}); }), 0);  // no board: no reading
        QCOMPARE(paintsAfter([&] { w.SetStops(70000); }), 0);  // refused, as no value
        QCOMPARE(paintsAfter([&] { w.SetStops(2048); }), 1);
        QCOMPARE(paintsAfter([&] { w.SetStops(2048); }), 0);
        QCOMPARE(paintsAfter([&] { w.SetCentre(0); }), 1);
        QCOMPARE(paintsAfter([&] { w.SetCentre(0); }), 0);
        w.SetBoardPresent(true);
        QCOMPARE(paintsAfter([&] { w.SetPosition(100, Clock::time_point{1s}); }), 1);
        QCOMPARE(paintsAfter([&] { w.SetPosition(100, Clock::time_point{1s}); }), 0);
        QCOMPARE(paintsAfter([&] { w.SetPosition(100, Clock::time_point{1100ms}); }), 1);  // the trace moves on
    }

    void readsAloudAndDropsStaleReadings()
    {
        WheelPicture w;
        QCOMPARE(w.accessibleName(), QStringLiteral("Wheel: No board"));
        w.SetStops(1536);
        w.SetCentre(-300);
        QCOMPARE(w.accessibleDescription(), QStringLiteral("3072 counts lock to lock; centre offset -300 counts"));
        w.SetCountsPerTurn(CountsPerTurn(1));
        QCOMPARE(w.accessibleDescription(),
                 QStringLiteral("135 degrees lock to lock; centre offset -13.2 degrees"));
        w.SetBoardPresent(true);
        w.SetPosition(-2048, Clock::time_point{1s});
        QCOMPARE(w.accessibleName(), QStringLiteral("Wheel: -90 degrees"));
        w.ClearPosition();
        QCOMPARE(w.accessibleName(), QStringLiteral("Wheel: no reading"));
        w.SetPosition(-2048, Clock::time_point{2s});
        w.SetCountsPerTurn(std::nullopt);
        QCOMPARE(w.accessibleName(), QStringLiteral("Wheel: -2048 counts"));
        w.SetAbsentText(QStringLiteral("Board lost"));
        w.SetBoardPresent(false);
        QCOMPARE(w.accessibleName(), QStringLiteral("Wheel: Board lost"));
        w.SetBoardPresent(true);
        QCOMPARE(w.accessibleName(), QStringLiteral("Wheel: no reading"));  // nothing kept from before
    }

    void aMovedMarkerLeavesNoTrail()
    {
        // What the screen holds after a reading repaints only part of the picture.
        WheelPicture w;
        w.setPalette(PlainPalette());
        w.resize(300, 600);
        w.SetCountsPerTurn(CountsPerTurn(1));
        w.SetBoardPresent(true);
        w.SetStops(2048);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        // 200 % is marksStandWhereTheFiguresSay's.
        if (w.devicePixelRatioF() != 1)
            QSKIP("the offscreen platform grabs only the top-left part of a scaled window");
        w.SetPosition(1024, Clock::time_point{1s});
        QCoreApplication::processEvents();
        w.SetPosition(-1024, Clock::time_point{1100ms});
        QCoreApplication::processEvents();
        QImage screen = w.screen()->grabWindow(w.winId()).toImage();
        auto at = [&](QPointF p) {
            p *= screen.devicePixelRatio();
            return screen.pixelColor(static_cast<int>(p.x()), static_cast<int>(p.y()));
        };
        QVERIFY(Reddish(at(DialPoint(QPointF(150, 150), 88, -45))));
        QCOMPARE(at(DialPoint(QPointF(150, 150), 88, 45)), QColor(Qt::white));

        // Half a turn widens the trace to 207 degrees each way: the stop lines move in.
        w.SetPosition(4096, Clock::time_point{1200ms});
        QCoreApplication::processEvents();
        screen = w.screen()->grabWindow(w.winId()).toImage();
        const QRectF t = LayOutPicture(QSizeF(300, 600), w.fontMetrics().height()).Trace;
        QVERIFY(Dark(at({t.center().x(), TraceY(90, 207, t.top(), t.height())})));
    }

    void marksStandWhereTheFiguresSay_data()
    {
        QTest::addColumn<qreal>("dpr");
        QTest::newRow("100 %") << 1.0;
        QTest::newRow("200 %") << 2.0;
    }

    void marksStandWhereTheFiguresSay()
    {
        QFETCH(qreal, dpr);
        WheelPicture w;
        w.setPalette(PlainPalette());
        w.resize(300, 600);
        w.SetCountsPerTurn(CountsPerTurn(1));
        w.SetBoardPresent(true);
        w.SetStops(2048);   // 90 degrees each side
        w.SetCentre(1024);  // 45 degrees right
        // Past the ten seconds by the end: it must not widen the scale.
        w.SetPosition(4000, Clock::time_point{-5s});
        // Five seconds at 45 degrees right, then five at 45 left; the newest is left.
        for (int i = 0; i <= 100; ++i)
            w.SetPosition(i <= 50 ? 1024 : -1024, Clock::time_point{std::chrono::milliseconds(100 * i)});

        QImage image(QSize(300, 600) * dpr, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(dpr);
        image.fill(Qt::transparent);
        w.render(&image);
        auto at = [&](QPointF p) {
            return image.pixelColor(static_cast<int>(std::floor(p.x() * dpr)), static_cast<int>(std::floor(p.y() * dpr)));
        };

        // The dial: centre (150, 150), rim radius 126 (see dialAndTrace).
        const QPointF c(150, 150);
        auto rim = [&](double degrees) { return at(DialPoint(c, 126, degrees)); };
        QVERIFY(Reddish(rim(0)));
        QVERIFY(Reddish(rim(-60)));
        QVERIFY(Reddish(rim(80)));
        QVERIFY(Grey(rim(120)));
        QVERIFY(Grey(rim(-120)));
        QVERIFY(Grey(rim(180)));
        // The stops reach out past the rim; nothing else does at 135 degrees.
        QVERIFY(Dark(at(DialPoint(c, 134, 90))));
        QVERIFY(Dark(at(DialPoint(c, 134, -90))));
        QCOMPARE(at(DialPoint(c, 134, 135)), QColor(Qt::white));
        // The centre notch at 45 degrees right, the live spoke at 45 left.
        QVERIFY(Dark(at(DialPoint(c, 136, 45))));
        QVERIFY(Reddish(at(DialPoint(c, 88, -45))));
        QCOMPARE(at(DialPoint(c, 88, 45)), QColor(Qt::white));

        // The trace: the stops half a range of 103.5 degrees from the middle; the last
        // five seconds, on the right, at -45.
        const QRectF t = LayOutPicture(QSizeF(300, 600), w.fontMetrics().height()).Trace;
        auto y = [&](double degrees) { return TraceY(degrees, 103.5, t.top(), t.height()); };
        const double right = t.left() + t.width() * 0.8, left = t.left() + t.width() * 0.2;
        QVERIFY(Reddish(at({right, y(-45)})));
        QVERIFY(!Reddish(at({right, y(45)})));
        QVERIFY(Reddish(at({left, y(45)})));
        QVERIFY(Dark(at({t.center().x(), y(90)})));
        QVERIFY(Dark(at({t.center().x(), y(-90)})));
    }
};

QTEST_MAIN(TestWheelPicture)
#include "test_wheel_picture.moc"
