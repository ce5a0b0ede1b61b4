// kx5170-bench-enumerate: the least a program can do to find the board: start, list
// every HID interface through hidapi, look for the board's vendor ID, exit. The scale
// kx5170ctl's list and show are read against.
#include <hidapi/hidapi.h>

#include <cstdio>

int main()
{
    if (hid_init() != 0)
        return 1;
    int boards = 0;
    hid_device_info* all = hid_enumerate(0, 0);
    for (const hid_device_info* d = all; d; d = d->next)
        if (d->vendor_id == 0x6C1B)
            ++boards;
    hid_free_enumeration(all);
    hid_exit();
    std::printf("%d\n", boards);
    return 0;
}
