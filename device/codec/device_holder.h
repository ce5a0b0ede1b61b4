// Another program that has one of a device's nodes open: what the platform finds and
// what both faces name when they ask before a write.
#pragma once

#include <string>

namespace kx {

struct DeviceHolder {
    int ProcessID = 0;
    std::string Program;  // as the system names the process; may be empty
    std::string Node;     // the node it holds
    friend bool operator==(const DeviceHolder&, const DeviceHolder&) = default;
};

}  // namespace kx
