// "Write and reset" and "Write and keep open": the twelve boxes checked, brought into
// range and handed to the session, and what the window says of the write. Saving a
// settings file checks the boxes the same way.
#include "frm_main.h"

#include "display_text.h"
#include "number_text.h"
#include "setting_texts.h"
#include "session_worker.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QScrollArea>

using namespace kx;

namespace {

std::optional<std::int32_t> BoxValue(const QLineEdit* box)
{
    return BoxNumberValue(box->text(), QLocale());
}

QString Reason(const SessionFailure& failure)
{
    return QString::fromStdString(DescribeFailure(failure));
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

std::optional<WheelSettings> frmMain::CheckedBoxes(bool correct)
{
    // Every box is checked before the first is corrected, so a refusal leaves the
    // user's text exactly as typed. A value beyond a clamped setting's bounds is
    // corrected in its box; any other must already lie within them.
    for (const std::size_t i : CheckOrder) {
        const SettingsField& field = SettingsFields[i];
        const std::optional<std::int32_t> value = BoxValue(Boxes[i]);
        if (!value || !(field.Clamped || InRange(field, *value))) {
            // A number the locale groups ("5.000" in German) is asked about, not guessed.
            const QString twoWays = TwoReadingsRefusal(SettingCaption(field), Boxes[i]->text(), QLocale());
            if (!twoWays.isEmpty()) {
                RefuseBox(Boxes[i], twoWays);
                return std::nullopt;
            }
            RefuseBox(Boxes[i], (field.Clamped ? tr("%1: enter a number, %2 to %3.")
                                               : tr("%1: enter a whole number, %2 to %3."))
                                    .arg(SettingCaption(field))
                                    .arg(field.Lowest)
                                    .arg(field.Highest));
            return std::nullopt;
        }
    }

    WheelSettings settings;
    for (const std::size_t i : CheckOrder) {
        const SettingsField& field = SettingsFields[i];
        QLineEdit* box = Boxes[i];
        const std::int32_t value = BringIntoRange(field, *BoxValue(box));
        if (correct && value != *BoxValue(box))
            box->setText(QString::number(value));
        settings.*field.Value = value;
    }
    return settings;
}

void frmMain::Go_Click()
{
    // Without a board there is nothing to write: the program ends, as after a write.
    if (!BoardLoaded) {
        if (Work == Busy::Idle)
            close();
        return;
    }
    StartWrite(false);
}

void frmMain::WriteKeepOpen_Click()
{
    if (BoardLoaded)
        StartWrite(true);
}

QString frmMain::BoardName(const BoardIdentity& board)
{
    QStringList parts;
    if (!board.SerialNumber.empty())
        parts << tr("serial %1").arg(ShownText(QString::fromStdString(board.SerialNumber)));
    if (!board.PhysicalPort.empty())
        parts << tr("at %1").arg(ShownText(QString::fromStdString(board.PhysicalPort)));
    return parts.isEmpty() ? tr("with no serial number") : parts.join(QLatin1Char(' '));
}

bool frmMain::ValuesMayGoToThisBoard()
{
    if (!BoxesToken.Valid() || BoxesToken == BoardToken)
        return true;
    if (SamePhysicalBoard(BoxesToken.Board, BoardToken.Board)) {
        // The same board, read again since: its values are still the user's for it.
        BoxesToken = BoardToken;
        return true;
    }
    if (!Dialogs.Confirm(this, tr("The values in the boxes came from another board (%1). "
                                              "Write them to this board (%2)?")
                                   .arg(BoardName(BoxesToken.Board), BoardName(BoardToken.Board))))
        return false;
    BoxesToken = BoardToken;
    return true;
}

void frmMain::StartWrite(bool keepOpen, bool evenIfHeld)
{
    if (Work != Busy::Idle || !SettingsShown || PendingWrite)
        return;
    const QStringList typed = BoxTexts();
    const std::optional<WheelSettings> settings = CheckedBoxes();
    if (!settings || !ValuesMayGoToThisBoard())
        return;
    KeepOpenAfterWrite = keepOpen;
    SentSettings = settings;
    TypedTexts = typed;
    SentTexts = BoxTexts();
    PendingWrite = ++LastRequest;
    // Nothing is pressed twice meanwhile; "Writing" is said once the session says so.
    SetBusy(Busy::Asked);
    const WriteRequest request{*PendingWrite, *settings, BoxesToken, keepOpen, evenIfHeld};
    QMetaObject::invokeMethod(Worker.get(), [w = Worker.get(), request] { w->Write(request); }, SessionTraffic);
}

void frmMain::OnWriteStarted(quint64 id)
{
    if (PendingWrite == id)
        SetBusy(Busy::Writing);
}

void frmMain::OnAwaitingReturn(quint64 id)
{
    if (PendingWrite != id)
        return;
    Status.SetWork(tr("Written; the board is resetting..."));
    RenderStatus();
}

void frmMain::OnWriteAnswered(const WriteAnswer& answer)
{
    if (PendingWrite != answer.Id)
        return;
    PendingWrite.reset();
    SetBusy(Busy::Idle);
    if (answer.Refused) {
        switch (*answer.Refused) {
        case WriteRefusal::InUse:
            OnHeldBy(answer.Holders);
            break;
        case WriteRefusal::NoBoard:
            ShowStatus(tr("Not written: the board went away before the write started."));
            break;
        case WriteRefusal::OtherValues:
            // The news of the board that took its place is on its way to the line.
            ShowStatus(tr("Not written: the board was read again before the write started. "
                                      "Check the values and write again."));
            break;
        case WriteRefusal::Closing:
            break;
        }
        if (CloseWhenWritten)
            close();
        return;
    }
    if (answer.ReadBack)
        OnReadBack(*answer.ReadBack, answer.Token);
    else if (answer.Report)
        OnWritten(*answer.Report);
}

void frmMain::OnHeldBy(const std::vector<DeviceHolder>& holders)
{
    QStringList names;
    for (const DeviceHolder& holder : holders) {
        const QString name = ShownText(QString::fromStdString(holder.Program));
        const QString shown = tr("%1 (process %2)")
                                  .arg(name.isEmpty() ? tr("a program") : name)
                                  .arg(holder.ProcessID);
        if (!names.contains(shown))
            names << shown;
    }
    const QString question =
        tr("%1 is using the board. Writing resets the board, and it would lose the wheel "
                       "(a game would lose it mid-race).\n\nWrite anyway?")
            .arg(names.join(QStringLiteral(", ")));
    if (Dialogs.Confirm(this, question))
        StartWrite(KeepOpenAfterWrite, true);
    else
        ShowStatus(tr("Not written: the board is in use by %1.").arg(names.join(QStringLiteral(", "))));
}

void frmMain::OnWritten(const WriteReport& report)
{
    if (report.Complete()) {
        // The board stores the settings and resets: the program's work is done (after
        // "Write and keep open" too, when the window was closed during the write).
        ClosingAfterWrite = true;
        close();
        return;
    }
    const SessionFailure failure = *report.FirstFailure();
    // Said until a write succeeds or the user takes the board's values: a board pulled
    // out during the write is found missing at the next tick, and the user must still
    // learn what became of the settings. The values stay in their boxes.
    Edited = true;
    if (!report.SettingsTaken())
        ShowStatus(tr("Settings not written: %1.").arg(Reason(failure)), StatusLine::Keep::UntilWritten);
    else
        ShowStatus(tr("Settings sent, but the board was not reset, so they may not be stored: %1.")
                       .arg(Reason(failure)),
                   StatusLine::Keep::UntilWritten);
    if (CloseWhenWritten)
        close();
}

void frmMain::OnReadBack(const Outcome<SettingsRead>& back, const ValuesToken& token)
{
    if (const auto* failure = std::get_if<SessionFailure>(&back)) {
        Edited = true;
        ShowStatus(tr("Written, but not read back: %1.").arg(Reason(*failure)),
                   StatusLine::Keep::UntilWritten);
        if (CloseWhenWritten)
            close();
        return;
    }
    // The values are this board's, as its latest read.
    BoxesToken = token;
    BoardToken = token;
    const WheelSettings& held = std::get<SettingsRead>(back).Values;
    // What the board holds is compared with what was sent, never with the boxes: a
    // box typed into since the write was sent keeps the user's text, and stays the
    // user's to write.
    QStringList differences;
    for (const std::size_t i : ScreenOrder) {
        const SettingsField& field = SettingsFields[i];
        if (SentSettings && held.*field.Value != (*SentSettings).*field.Value)
            differences << tr("%1 is %2, not %3")
                               .arg(SettingCaption(field))
                               .arg(held.*field.Value)
                               .arg((*SentSettings).*field.Value);
    }
    if (differences.isEmpty()) {
        // The boxes show what the board holds, and the line what became of a value that
        // was rounded or brought into range on its way.
        bool typedSince = false;
        QStringList changed;
        for (const std::size_t i : ScreenOrder) {
            const auto index = static_cast<qsizetype>(i);
            if (Boxes[i]->text() != SentTexts.value(index)) {
                typedSince = true;
                continue;
            }
            const std::int32_t value = held.*SettingsFields[i].Value;
            const QString typed = TypedTexts.value(index).trimmed();
            bool whole = false;
            const qlonglong typedWhole = typed.toLongLong(&whole);
            // "050" is 50 as typed; "2.5" written as 2 and 300 as 250 are said.
            if (!(whole && typedWhole == value))
                changed << (changed.isEmpty() ? tr("%1: %2 was written as %3")
                                              : tr("%1: %2 as %3"))
                               .arg(SettingCaption(SettingsFields[i]), typed)
                               .arg(value);
            Boxes[i]->setText(QString::number(value));
        }
        Edited = typedSince;
        Status.EndMessages();
        ShowStatus(changed.isEmpty() ? tr("Written and read back.")
                                     : tr("Written and read back. %1.").arg(changed.join(QStringLiteral("; "))),
                   StatusLine::Keep::UntilEdited);
    } else {
        Edited = true;
        ShowStatus(tr("Written, but the board holds other values: %1.").arg(differences.join(QStringLiteral("; "))),
                   StatusLine::Keep::UntilWritten);
    }
    if (CloseWhenWritten)
        close();
}
