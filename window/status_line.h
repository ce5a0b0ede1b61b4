// What the line under "Write and reset" says, and which message wins.
//
// Two sources compete for the one line: the search's news about the board, and a
// message about what the user last did (a box refused, settings not written, a file
// read). The user's message wins over the search's news, so that a board pulled out
// during a write does not wipe the word that the settings were not written. Only a
// board that may not be opened wins over it: that line carries the way out ("Fix...").
#pragma once

#include <QString>

class StatusLine {
public:
    enum class Board {
        Unknown,       // before the first search
        Loaded,        // a board is open and was read
        Absent,        // no board found
        AccessDenied,  // found, but this user may not open it
        OpenFailed,    // found, but it could not be opened for another reason
    };
    enum class Keep {
        UntilBoardChanges,  // until the search has other news than when it was said
        UntilLoaded,        // through a board lost and searched for, until one is loaded
    };

    // The search's news. A loaded board ends any message; other news ends a message
    // that was kept only until the board changed.
    void SetBoard(Board board);
    // The user's message, replacing the one before; an empty text ends it.
    void Tell(const QString& text, Keep keep = Keep::UntilBoardChanges);

    // What the line shows, as plain text, and whether the "Fix..." link follows it.
    QString Text() const;
    bool OffersFix() const { return BoardState == Board::AccessDenied; }
    Board CurrentBoard() const { return BoardState; }

private:
    Board BoardState = Board::Unknown;
    QString Message;
    Keep MessageKeep = Keep::UntilBoardChanges;
};
