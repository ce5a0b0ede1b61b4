#include "setting_texts.h"

#include <QCoreApplication>

namespace kx {

namespace {

// Each text the table holds, for lupdate to find; the table's own English text is the
// key the translation is looked up by.
[[maybe_unused]] constexpr const char* Texts[] = {
    QT_TRANSLATE_NOOP("Setting", "Stops (each side)"),
    QT_TRANSLATE_NOOP("Setting", "How far the wheel turns each side of the centre before the end stops push back."),
    QT_TRANSLATE_NOOP("Setting", "Centre offset"),
    QT_TRANSLATE_NOOP("Setting", "Where the wheel's centre lies, counted from the encoder's zero."),
    QT_TRANSLATE_NOOP("Setting", "Stops stiffness"),
    QT_TRANSLATE_NOOP("Setting", "How hard the end stops push the wheel back."),
    QT_TRANSLATE_NOOP("Setting", "Stops damping"),
    QT_TRANSLATE_NOOP("Setting", "How much the end stops slow the wheel as it runs into them."),
    QT_TRANSLATE_NOOP("Setting", "Overall damping"),
    QT_TRANSLATE_NOOP("Setting", "Resistance that grows with the wheel's speed, over the whole turn."),
    QT_TRANSLATE_NOOP("Setting", "Damper Effect scale"),
    QT_TRANSLATE_NOOP("Setting", "Strength of the damper effects a game sends."),
    QT_TRANSLATE_NOOP("Setting", "All Effects scale"),
    QT_TRANSLATE_NOOP("Setting", "Strength of every force effect a game sends."),
    QT_TRANSLATE_NOOP("Setting", "Overall inertia"),
    QT_TRANSLATE_NOOP("Setting", "Resistance to changes of the wheel's speed, as if the rim were heavier."),
    QT_TRANSLATE_NOOP("Setting", "Overall friction"),
    QT_TRANSLATE_NOOP("Setting", "Constant resistance to turning the wheel."),
    QT_TRANSLATE_NOOP("Setting", "Motor filter"),
    QT_TRANSLATE_NOOP("Setting", "Smoothing of the motor's force: higher is smoother but slower."),
    QT_TRANSLATE_NOOP("Setting", "Input filter"),
    QT_TRANSLATE_NOOP("Setting", "Smoothing of the wheel's position reading: higher is smoother but slower."),
    QT_TRANSLATE_NOOP("Setting", "Centering spring"),
    QT_TRANSLATE_NOOP("Setting", "Strength of the spring that pulls the wheel back to the centre."),
    //: the unit of a setting counted in the encoder's steps
    QT_TRANSLATE_NOOP("Setting", "counts"),
};

QString Translated(const char* text)
{
    return *text ? QCoreApplication::translate("Setting", text) : QString();
}

}  // namespace

QString SettingCaption(const SettingsField& field)
{
    return Translated(field.Caption);
}

QString SettingUnit(const SettingsField& field)
{
    // "%" is the same in every language the window speaks.
    return QLatin1String(field.Unit) == QLatin1String("%") ? QStringLiteral("%") : Translated(field.Unit);
}

QString SettingMeaning(const SettingsField& field)
{
    return Translated(field.Meaning);
}

}  // namespace kx
