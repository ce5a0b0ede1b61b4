// The wheel as a picture: a dial with the live angle, the end stops and the centre
// offset, and a trace of the last ten seconds of the wheel's angle.
//
// It shows what it is told and nothing else: the window hands it each reading, the
// board's counts a turn and the values the boxes hold. Each setter repaints only when
// what is shown changes, so it never repaints faster than the readings come.
#pragma once

#include "wheel_geometry.h"

#include <QPixmap>
#include <QRegion>
#include <QString>
#include <QWidget>

#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

class QPainter;

namespace kx {

class WheelPicture : public QWidget {
    Q_OBJECT

public:
    explicit WheelPicture(QWidget* parent = nullptr);

    // From CountsPerTurn of the board's type. nullopt: the type is unknown and the
    // picture shows counts only, never an angle.
    void SetCountsPerTurn(std::optional<int> countsPerTurn);

    // false: the picture says the absent text, and drops the trace and the live marker;
    // readings given while absent are ignored. Starts absent.
    void SetBoardPresent(bool present);

    // A new reading taken at `when` (the window gives one at most every 100 ms). A
    // reading older than the newest starts the trace again.
    void SetPosition(std::int16_t counts, std::chrono::steady_clock::time_point when);

    // The link is lost: the live marker and the trace go, the board may still be shown present.
    void ClearPosition();

    // The stops each side and the centre offset in counts, as the boxes hold them;
    // nullopt (or a value the window would refuse) shows no mark.
    void SetStops(std::optional<std::int32_t> counts);
    void SetCentre(std::optional<std::int32_t> counts);

    // What the picture says with no board; "No board" until told otherwise.
    void SetAbsentText(const QString& text);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    struct Reading {
        std::chrono::steady_clock::time_point When;
        std::int16_t Counts;
    };

    // Something the backdrop shows changed: all of it is drawn again.
    void Changed();
    // Only the reading changed: the parts that follow it are drawn again.
    void ReadingChanged(const QRegion& before, double halfBefore);
    void Retell();
    PictureLayout Layout() const;
    std::optional<double> LiveAngle() const;
    double TraceHalf() const;
    QRegion LiveRegion(const PictureLayout& l) const;
    // What stays while the wheel moves, drawn once into the backdrop.
    void PaintDial(QPainter& p, const PictureLayout& l) const;
    void PaintTraceFrame(QPainter& p, const PictureLayout& l, double half) const;
    // What follows the readings, over the backdrop.
    void PaintLive(QPainter& p, const PictureLayout& l, double half) const;
    // The unit of the trace: degrees when the counts a turn are known, else counts.
    double TraceValue(std::int32_t counts) const;
    QString LockToLockText() const;
    std::vector<PlacedLabel> StopLabelsShown(const PictureLayout& l) const;
    QString LiveText() const;

    std::optional<int> PerTurn;
    bool Present = false;
    std::optional<std::int16_t> Live;
    std::deque<Reading> Readings;
    std::optional<std::int32_t> Stops;
    std::optional<std::int32_t> Centre;
    QString AbsentText;

    QPixmap Backdrop;
    // The stops' labels as the backdrop shows them.
    std::vector<PlacedLabel> Labels;
    bool BackdropValid = false;
    double BackdropHalf = 0;
};

}  // namespace kx
