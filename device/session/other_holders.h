// Who else holds the open board, with what could not be looked at: both faces say
// "none" only when nothing was left unchecked.
#pragma once

#include "board_session.h"

#include <QCoreApplication>

namespace kx {

// The other programs that hold one of the open board's nodes, and the number of
// processes whose descriptors could not be read; nothing while no board is open.
inline HidPlatform::HolderSearch CheckOtherHolders(const BoardSession& session)
{
    return session.IsOpen() ? session.Platform().CheckHolders(session.Identity().Node) : HidPlatform::HolderSearch{};
}

// "3 processes of other users could not be checked; run as root to check them".
inline std::string UncheckedText(int unchecked)
{
    if (unchecked < 0)
        return QCoreApplication::translate("BoardSession",
                                           "the processes of other users are hidden from this user (/proc is mounted "
                                           "with hidepid), so they could not be checked; run as root to check them")
            .toStdString();
    return (unchecked == 1 ? QCoreApplication::translate("BoardSession",
                                                         "%1 process of other users could not be checked; run as "
                                                         "root to check them")
                           : QCoreApplication::translate("BoardSession",
                                                         "%1 processes of other users could not be checked; run "
                                                         "as root to check them"))
        .arg(unchecked)
        .toStdString();
}

}  // namespace kx
