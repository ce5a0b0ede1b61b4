// What the line under "Write and reset" says, and which message wins.
//
// Three sources compete for the one line: the session's news about the board, the
// work under way (a load, a write), and a message about what the user last did (a box
// refused, settings not written, a file read). Work under way is said while it lasts.
// A board that was found but cannot be opened wins over a message, since its line
// carries the way out; otherwise the user's message wins over the board's news, so
// that a board pulled out during a write does not wipe the word that the settings
// were not written.
#pragma once

#include <QCoreApplication>
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
        UntilBoardChanges,  // until the board's news changes, or a board is loaded
        UntilWritten,       // through any news, until a write succeeds or the user reloads
        UntilEdited,        // about the boxes as they were: as UntilBoardChanges, and
                            // until the user edits a box
    };

    // The session's news. Other news than before, and a loaded board, end a message
    // kept only until the board changes.
    void SetBoard(Board board, const QString& reason = {});
    // The user's message, replacing the one before; an empty text ends it.
    void Tell(const QString& text, Keep keep = Keep::UntilBoardChanges);
    // A write succeeded or the user took the board's values: every message ends.
    void EndMessages();
    // The user edited a box: a message about the boxes as they were ends.
    void BoxesEdited();
    // Work under way ("Reading the board..."), said while it lasts; empty when none.
    void SetWork(const QString& text) { Work = text; }
    // A file that opens once a board is loaded, named while no board is.
    void SetWaitingFile(const QString& name) { WaitingFile = name; }
    // What a loaded board with nothing else to say shows.
    void SetLoadedText(const QString& text) { LoadedText = text; }
    // Whether installing the access rule can help a refused board: only while no rule
    // for it is installed.
    void SetFixPossible(bool possible) { FixPossible = possible; }

    // What the line shows, as plain text, and whether the "Fix..." link follows it.
    QString Text() const;
    bool OffersFix() const { return Work.isEmpty() && BoardState == Board::AccessDenied && FixPossible; }
    Board CurrentBoard() const { return BoardState; }
    bool KeepsMessage() const { return !Message.isEmpty() && MessageKeep == Keep::UntilWritten; }

private:
    Board BoardState = Board::Unknown;
    QString BoardReason;
    QString Message;
    Keep MessageKeep = Keep::UntilBoardChanges;
    QString Work;
    QString WaitingFile;
    QString LoadedText = QCoreApplication::translate("StatusLine", "Board ready.");
    bool FixPossible = true;
};
