#pragma once
// The hardware snapshot button: register 12 of the device, bit 0x20 set while a press waits to be
// taken. A press is reported once; the byte is written back with the bit clear to acknowledge it,
// and the next press is reported only after the bit has been seen clear.
#include <cstdint>

namespace lumetra {

constexpr int kSnapshotButtonRegister = 12;
constexpr uint8_t kSnapshotButtonBit = 0x20;

class SnapshotButtonLatch {
public:
    struct Decision {
        bool report = false;       // a new press
        bool writeBack = false;    // acknowledge it by writing `value` to the register
        uint8_t value = 0;
    };
    // Decides on one reading of the register.
    Decision Poll(uint8_t reading);

private:
    bool reported_ = false;
};

}  // namespace lumetra
