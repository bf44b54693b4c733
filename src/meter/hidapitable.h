#pragma once

#include <hidapi.h>

// The hidapi calls the meter transport makes, as a table of functions so that tests can put
// their own in place and check the framing byte for byte.
struct HidApiTable
{
    int (*init)();
    hid_device *(*open)(unsigned short vendorId, unsigned short productId, const wchar_t *serial);
    void (*close)(hid_device *device);
    int (*write)(hid_device *device, const unsigned char *data, size_t length);
    int (*readTimeout)(hid_device *device, unsigned char *data, size_t length, int milliseconds);
    int (*getSerialNumber)(hid_device *device, wchar_t *text, size_t maxLength);

    // The real library.
    static HidApiTable system();
};
