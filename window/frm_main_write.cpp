// "Write and reset": the twelve boxes brought into range and sent to the board.
#include "frm_main.h"

#include "number_text.h"
#include "settings_transfer.h"

#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QTimer>

#include <limits>

using namespace kx;

namespace {

struct BoxRule {
    QLineEdit* frmMain::*Box;
    QLabel* frmMain::*CaptionLabel;
    std::int32_t WheelSettings::*Value;
    // A value beyond a bound is corrected in its box; a field without bounds must
    // already lie within what the board can store.
    bool Clamped;
    std::int32_t Lowest;
    std::int32_t Highest;
};

// In the order the fields are checked, each completely before the next.
const BoxRule Rules[] = {
    {&frmMain::Slimit, &frmMain::Label1, &WheelSettings::Slimit, false, 0, 65535},
    {&frmMain::Homing, &frmMain::Label6, &WheelSettings::Homing, false, -32768, 32767},
    {&frmMain::Stiff, &frmMain::Label13, &WheelSettings::Stiff, true, 0, 255},
    {&frmMain::Damp, &frmMain::Label15, &WheelSettings::Damp, true, 0, 255},
    {&frmMain::TDamp, &frmMain::Label16, &WheelSettings::TDamp, true, 0, 250},
    {&frmMain::TInertia, &frmMain::Label20, &WheelSettings::TInertia, true, 0, 250},
    {&frmMain::TFriction, &frmMain::Label21, &WheelSettings::TFriction, true, 0, 250},
    {&frmMain::Spring, &frmMain::Label24, &WheelSettings::Spring, true, 0, 127},
    {&frmMain::DampingScale, &frmMain::Label7, &WheelSettings::DampingScale, true, 1, 100},
    {&frmMain::OverallScale, &frmMain::Label18, &WheelSettings::OverallScale, true, 1, 100},
    {&frmMain::MotorFilter, &frmMain::Label22, &WheelSettings::MotorFilter, true, 1, 255},
    {&frmMain::InputFilter, &frmMain::Label23, &WheelSettings::InputFilter, true, 1, 10000},
};

std::optional<std::int32_t> BoxValue(const QLineEdit* box)
{
    return WholeNumberValue(box->text(), QLocale().decimalPoint().front());
}

}  // namespace

bool frmMain::RefuseBox(QLineEdit* box, const QString& message)
{
    ShowStatus(message);
    box->setFocus();
    box->selectAll();
    Timer->start();
    if (Link.BoardOpen == FlagTrue)
        InputDrain->start();
    return false;
}

void frmMain::Go_Click()
{
    Timer->stop();
    InputDrain->stop();

    if (Link.BoardOpen == FlagTrue) {
        // Every box is checked before the first is corrected, so a refusal leaves the
        // user's text exactly as typed.
        for (const BoxRule& rule : Rules) {
            QLineEdit* box = this->*rule.Box;
            const std::optional<std::int32_t> value = BoxValue(box);
            const bool acceptable = value && (rule.Clamped || (*value >= rule.Lowest && *value <= rule.Highest));
            if (!acceptable) {
                const QString caption = (this->*rule.CaptionLabel)->text();
                RefuseBox(box, rule.Clamped ? QStringLiteral("%1: enter a number, %2 to %3.")
                                                  .arg(caption)
                                                  .arg(rule.Lowest)
                                                  .arg(rule.Highest)
                                            : QStringLiteral("%1: enter a whole number, %2 to %3.")
                                                  .arg(caption)
                                                  .arg(rule.Lowest)
                                                  .arg(rule.Highest));
                return;
            }
        }

        WheelSettings settings;
        for (const BoxRule& rule : Rules) {
            QLineEdit* box = this->*rule.Box;
            if (rule.Clamped) {
                if (*BoxValue(box) > rule.Highest)
                    box->setText(QString::number(rule.Highest));
                if (*BoxValue(box) < rule.Lowest)
                    box->setText(QString::number(rule.Lowest));
            }
            settings.*rule.Value = *BoxValue(box);
        }

        if (!SendSettingsSequence(Link, settings)) {
            // The board did not take the settings: keep the user's values and let the
            // link supervision find out what became of the board.
            // Said until a board is loaded again or the user acts: a board pulled out
            // during the write is found missing at the next tick, and the user must
            // still learn that the settings did not reach it.
            ShowStatus(QStringLiteral("Settings not written: the board did not take them."),
                       StatusLine::Keep::UntilLoaded);
            Timer->start();
            InputDrain->start();
            return;
        }
    }

    CloseLinkHandle(Link, Link.FeatureHandle);
    CloseLinkHandle(Link, Link.InputHandle);
    close();
}
