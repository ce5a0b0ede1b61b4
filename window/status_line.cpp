#include "status_line.h"

#include "access_help.h"

void StatusLine::SetBoard(Board board)
{
    if (board == Board::Loaded || (board != BoardState && MessageKeep == Keep::UntilBoardChanges))
        Message.clear();
    BoardState = board;
}

void StatusLine::Tell(const QString& text, Keep keep)
{
    Message = text;
    MessageKeep = keep;
}

QString StatusLine::Text() const
{
    if (BoardState == Board::AccessDenied) {
        const std::string_view denied = kx::AccessDeniedText;
        return QString::fromUtf8(denied.data(), static_cast<qsizetype>(denied.size()));
    }
    if (!Message.isEmpty())
        return Message;
    switch (BoardState) {
    case Board::Absent:
        return QStringLiteral("No board found: plug it in.");
    case Board::OpenFailed:
        return QStringLiteral("Board found, but it could not be opened.");
    default:
        return {};
    }
}
