// The wheel's rotation lock to lock in degrees: what a racer types in place of the
// stops in counts ("900 degrees lock to lock").
//
// It holds no setting of its own: typing a rotation gives the stops that come nearest
// it (StopsTyped), and the window shows here the rotation of whatever Stops holds
// (ShowStops). Both ways go through RotationTenths and StopsForRotation, as
// kx5170ctl's do, so the two faces agree to the count.
#pragma once

#include <QString>
#include <QWidget>

#include <cstdint>
#include <optional>

class QLabel;
class QLineEdit;

namespace kx {

class RotationField : public QWidget {
    Q_OBJECT

public:
    explicit RotationField(QWidget* parent = nullptr);

    // From CountsPerTurn of the board's type. nullopt: the type is unknown; the field
    // is disabled and its caption and tooltip say why. Starts so.
    void SetCountsPerTurn(std::optional<int> countsPerTurn);

    // The field's text read as degrees lock to lock, in tenths: digits with at most one
    // decimal separator (the locale's, or "." where "." does not group digits, since
    // "1.080" in German means 1080), rounded to the nearest tenth, halves up. nullopt for
    // anything else.
    static std::optional<std::int64_t> TenthsOf(const QString& text, const QLocale& locale);

public slots:
    // Shows the rotation these stops give; nullopt (Stops holds no count) leaves the
    // field empty. A rotation being typed that already gives these stops stays as typed.
    void ShowStops(std::optional<std::int32_t> stops);

signals:
    // The user typed a rotation: the stops each side, to the nearest count, that give
    // it. Not sent for a text that is no rotation or that needs stops past their range:
    // the field then says why in its tooltip.
    void StopsTyped(std::int32_t stops);

private:
    void Typed(const QString& text);
    void Finished();
    void Retell();
    // The stops that the text asks for, or why not.
    std::optional<std::int32_t> StopsOf(const QString& text, QString* why) const;

    QLineEdit* Degrees;
    QLabel* Caption;
    std::optional<int> PerTurn;
    std::optional<std::int32_t> Shown;  // the stops last shown or typed
    QString Problem;                    // why the text typed gives no stops
};

}  // namespace kx
