// "Write and reset": the twelve boxes checked, brought into range and sent to the
// board. Saving a settings file checks the boxes the same way.
#include "frm_main.h"

#include "number_text.h"
#include "settings_transfer.h"

#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QScrollArea>
#include <QTimer>

using namespace kx;

namespace {

std::optional<std::int32_t> BoxValue(const QLineEdit* box)
{
    return WholeNumberValue(box->text(), QLocale().decimalPoint().front());
}

}  // namespace

void frmMain::RefuseBox(QLineEdit* box, const QString& message)
{
    // The message below the button stays in view where the box can be seen with it.
    ShowStatus(message);
    ClientScroll->ensureWidgetVisible(box);
    box->setFocus();
    box->selectAll();
}

std::optional<WheelSettings> frmMain::CheckedBoxes()
{
    // Every box is checked before the first is corrected, so a refusal leaves the
    // user's text exactly as typed. A value beyond a clamped setting's bounds is
    // corrected in its box; any other must already lie within them.
    for (const std::size_t i : CheckOrder) {
        const SettingsField& field = SettingsFields[i];
        const std::optional<std::int32_t> value = BoxValue(Boxes[i]);
        if (!value || !(field.Clamped || InRange(field, *value))) {
            RefuseBox(Boxes[i], (field.Clamped ? QStringLiteral("%1: enter a number, %2 to %3.")
                                               : QStringLiteral("%1: enter a whole number, %2 to %3."))
                                    .arg(QString::fromUtf8(field.Caption))
                                    .arg(field.Lowest)
                                    .arg(field.Highest));
            return std::nullopt;
        }
    }

    WheelSettings settings;
    for (const std::size_t i : CheckOrder) {
        const SettingsField& field = SettingsFields[i];
        QLineEdit* box = Boxes[i];
        if (field.Clamped) {
            if (*BoxValue(box) > field.Highest)
                box->setText(QString::number(field.Highest));
            if (*BoxValue(box) < field.Lowest)
                box->setText(QString::number(field.Lowest));
        }
        settings.*field.Value = *BoxValue(box);
    }
    return settings;
}

void frmMain::Go_Click()
{
    Timer->stop();
    InputDrain->stop();

    if (Link.BoardOpen == FlagTrue) {
        const std::optional<WheelSettings> settings = CheckedBoxes();
        if (!settings) {
            Timer->start();
            InputDrain->start();
            return;
        }
        if (!SendSettingsSequence(Link, *settings)) {
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
