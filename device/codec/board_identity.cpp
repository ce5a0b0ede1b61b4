#include "board_identity.h"

#include <cstdio>

namespace kx {

std::string BoardVersionText(std::uint16_t versionNumber)
{
    char text[16];
    std::snprintf(text, sizeof text, "%d.%X", BoardType(versionNumber), BoardRevision(versionNumber));
    return text;
}

}  // namespace kx
