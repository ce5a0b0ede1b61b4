#include "status_line.h"

#include "access_help.h"

#include <QCoreApplication>

#include <string>

void StatusLine::SetBoard(Board board, const QString& reason)
{
    if (MessageKeep != Keep::UntilWritten && (board == Board::Loaded || board != BoardState))
        Message.clear();
    BoardState = board;
    BoardReason = reason;
}

void StatusLine::Tell(const QString& text, Keep keep)
{
    Message = text;
    MessageKeep = text.isEmpty() ? Keep::UntilBoardChanges : keep;
}

void StatusLine::BoxesEdited()
{
    if (MessageKeep == Keep::UntilEdited)
        EndMessages();
}

void StatusLine::EndMessages()
{
    Message.clear();
    MessageKeep = Keep::UntilBoardChanges;
}

QString StatusLine::Text() const
{
    if (!Work.isEmpty())
        return Work;
    auto withReason = [this](const QString& text) {
        return BoardReason.isEmpty() ? text : text + QLatin1Char(' ') + BoardReason;
    };
    if (BoardState == Board::AccessDenied) {
        // The text is the access check's; the window says it in the user's language.
        [[maybe_unused]] static constexpr const char* Shown =
            QT_TRANSLATE_NOOP("StatusLine", "Board found, but access was denied.");
        const std::string denied(kx::AccessDeniedText);
        return withReason(QCoreApplication::translate("StatusLine", denied.c_str()));
    }
    if (BoardState == Board::OpenFailed)
        return withReason(QCoreApplication::translate("StatusLine", "Board found, but it could not be opened."));
    if (!Message.isEmpty())
        return Message;
    switch (BoardState) {
    case Board::Absent:
        return WaitingFile.isEmpty()
                   ? QCoreApplication::translate("StatusLine",
                                                 "No board found: plug it in. If it is plugged in, kx5170ctl doctor "
                                                 "tells what stands in the way. File > Open works on a profile meanwhile.")
                   : QCoreApplication::translate("StatusLine", "No board found: plug it in. %1 opens once it is loaded.")
                         .arg(WaitingFile);
    case Board::Loaded:
        return LoadedText;
    default:
        return {};
    }
}
