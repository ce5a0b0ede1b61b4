#include "rotation_field.h"

#include "input_report.h"
#include "settings_table.h"
#include "wheel_geometry.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>

namespace kx {

namespace {

QString CaptionText()
{
    return RotationField::tr("degrees lock to lock");
}

QString Meaning()
{
    return RotationField::tr("The wheel's turn from one end stop to the other. Typing it sets Stops (each side) "
                             "to the nearest whole count.");
}

const SettingsField& StopsField()
{
    return *FindSettingByName("Slimit");
}

}  // namespace

RotationField::RotationField(QWidget* parent)
    : QWidget(parent), Degrees(new QLineEdit(this)), Caption(new QLabel(CaptionText(), this))
{
    setObjectName(QStringLiteral("RotationField"));
    Degrees->setObjectName(QStringLiteral("Rotation"));
    Caption->setObjectName(QStringLiteral("lblRotation"));
    Caption->setBuddy(Degrees);
    Degrees->setAccessibleName(tr("Rotation, degrees lock to lock"));
    // "5759.9" and a little room: the most a board turns.
    Degrees->setMaximumWidth(Degrees->fontMetrics().horizontalAdvance(QStringLiteral("00000.00")) + 16);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(Degrees);
    // A language with longer words wraps the caption rather than lose its end.
    Caption->setWordWrap(true);
    row->addWidget(Caption, 1);
    connect(Degrees, &QLineEdit::textEdited, this, &RotationField::Typed);
    connect(Degrees, &QLineEdit::editingFinished, this, &RotationField::Finished);
    Retell();
}

void RotationField::SetCountsPerTurn(std::optional<int> countsPerTurn)
{
    if (countsPerTurn && *countsPerTurn <= 0)
        countsPerTurn.reset();
    if (PerTurn == countsPerTurn)
        return;
    PerTurn = countsPerTurn;
    Problem.clear();
    const std::optional<std::int32_t> stops = Shown;
    Shown.reset();
    ShowStops(stops);
    Retell();
}

std::optional<std::int64_t> RotationField::TenthsOf(const QString& text, const QLocale& locale)
{
    const QString trimmed = text.trimmed();
    const QString point = locale.decimalPoint();
    const bool dotGroups = locale.groupSeparator() == QLatin1String(".");
    std::int64_t whole = 0;
    int wholeDigits = 0, fractionDigits = 0, tenth = 0;
    bool half = false, inFraction = false;
    for (qsizetype i = 0; i < trimmed.size(); ++i) {
        const QChar c = trimmed[i];
        if (c >= u'0' && c <= u'9') {
            const int digit = c.unicode() - u'0';
            if (!inFraction) {
                // Past a million degrees nothing is a rotation: stop before 64 bits run out.
                if (++wholeDigits > 7)
                    return std::nullopt;
                whole = whole * 10 + digit;
            } else if (++fractionDigits == 1) {
                tenth = digit;
            } else if (fractionDigits == 2) {
                half = digit >= 5;
            }
            continue;
        }
        const bool separator = QStringView(trimmed).mid(i).startsWith(point) || (c == u'.' && !dotGroups);
        if (!separator || inFraction || wholeDigits == 0)
            return std::nullopt;
        inFraction = true;
        if (c != u'.')
            i += point.size() - 1;
    }
    // "900." is a rotation on its way to "900.5".
    if (wholeDigits == 0)
        return std::nullopt;
    return whole * 10 + tenth + (half ? 1 : 0);
}

std::optional<std::int32_t> RotationField::StopsOf(const QString& text, QString* why) const
{
    const std::optional<std::int64_t> tenths = TenthsOf(text, QLocale());
    if (!tenths) {
        *why = tr("Type the rotation in degrees, such as 900.");
        return std::nullopt;
    }
    const std::optional<std::int64_t> stops = StopsForRotation(*tenths, PerTurn);
    if (!stops)
        return std::nullopt;
    if (!InRange(StopsField(), *stops)) {
        const std::optional<std::int64_t> most = RotationTenths(StopsField().Highest, PerTurn);
        *why = tr("This board turns at most %1 degrees lock to lock.").arg(TenthsShown(*most, QLocale()));
        return std::nullopt;
    }
    return static_cast<std::int32_t>(*stops);
}

void RotationField::Typed(const QString& text)
{
    QString why;
    const std::optional<std::int32_t> stops = StopsOf(text, &why);
    Problem = stops ? QString() : why;
    Retell();
    if (!stops)
        return;
    Shown = stops;
    emit StopsTyped(*stops);
}

void RotationField::Finished()
{
    // What the counts really give, once the user is done: 1000 typed on a type 1 board
    // is 11378 counts, which is 1000.0 again; 0.95 is 0.9.
    QString why;
    if (const std::optional<std::int32_t> stops = StopsOf(Degrees->text(), &why)) {
        Shown.reset();
        ShowStops(stops);
    }
}

void RotationField::ShowStops(std::optional<std::int32_t> stops)
{
    if (stops && !InRange(StopsField(), *stops))
        stops.reset();
    QString why;
    if (stops && Shown == stops && StopsOf(Degrees->text(), &why) == stops)
        return;
    Shown = stops;
    Problem.clear();
    const std::optional<std::int64_t> tenths = stops ? RotationTenths(*stops, PerTurn) : std::nullopt;
    const QString text = tenths ? TenthsShown(*tenths, QLocale()) : QString();
    if (Degrees->text() != text)
        Degrees->setText(text);
    Retell();
}

void RotationField::Retell()
{
    const bool known = PerTurn.has_value();
    setEnabled(known);
    const QString tip = known ? (Problem.isEmpty() ? Meaning() : Problem + u' ' + Meaning())
                              : tr("The rotation in degrees needs the board's type, which is not known yet: "
                                 "set Stops (each side) in counts.");
    Caption->setText(known ? CaptionText() : tr("degrees lock to lock (board type unknown)"));
    for (QWidget* w : {static_cast<QWidget*>(Degrees), static_cast<QWidget*>(Caption)})
        if (w->toolTip() != tip)
            w->setToolTip(tip);
    if (Degrees->accessibleDescription() != tip)
        Degrees->setAccessibleDescription(tip);
}

}  // namespace kx
