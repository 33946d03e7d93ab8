#pragma once
// Platform-free pieces of the simulator's behaviour: parsing of the test-control values and the
// device's register file with its snapshot button. No Windows headers.
#include <cstdint>
#include <string>
#include <vector>

#include "simdev/picture.h"

namespace simdev {

enum class Profile { TvBox, Grabber, Webcam };
// "tvbox", "grabber" or "webcam" (case-insensitive); anything else gives TvBox.
Profile ParseProfile(const std::string& text);
const char* ProfileName(Profile p);

// Channel list such as "2,4,7-9": sorted, without duplicates; malformed parts are skipped.
std::vector<int> ParseChannelList(const std::string& text);
bool ContainsChannel(const std::vector<int>& list, int channel);

// "left,top,right,bottom" in pixels; returns false (and an empty rectangle) when malformed.
bool ParseRect(const std::string& text, Rect& out);

// A control's range as "min,max" (min below max, negative values allowed); false when malformed.
struct ValueRange {
    long minimum = 0, maximum = 0;
    long Middle() const { return minimum + (maximum - minimum + 1) / 2; }
};
bool ParseRange(const std::string& text, ValueRange& out);

// Which inputs the crossbar has: all the profile's ("full"), the profile's without composite
// ("nocomposite"), or S-Video alone with its audio ("svideo"); anything else is "full".
enum class CrossbarLayout { Full, NoComposite, SVideoOnly };
CrossbarLayout ParseCrossbarLayout(const std::string& text);

// The camera controls of the webcam profile, answered through the private property interface with
// 32-bit values: 32 automatic exposure on/off, 33 the exposure target in automatic mode (0-255),
// 34 the exposure in manual mode (0-1000), 35 the ambient light (0 fluorescent, 1 incandescent,
// 2 natural), 36 the flicker (0 60 Hz, 1 50 Hz, 2 none), 0x1003 and 0x1004 the manual and
// automatic maxima (read only).
class CameraControls {
public:
    enum Id : uint32_t {
        kAutoExposure = 32, kAutoValue = 33, kManualValue = 34, kAmbientLight = 35, kFlicker = 36,
        kManualMax = 0x1003, kAutoMax = 0x1004,
    };
    static constexpr int32_t kAutoMaximum = 255, kManualMaximum = 1000;
    enum class Result { Ok, UnknownId, OutOfRange, ReadOnly };

    Result Get(uint32_t id, int32_t& value) const;
    Result Set(uint32_t id, int32_t value);
    // How bright the exposure makes the picture, in percent (100 at the middle of either range).
    int ExposurePercent() const;

private:
    int32_t autoExposure_ = 1, autoValue_ = 128, manualValue_ = 500, light_ = 0, flicker_ = 0;
};

// The device's 256 byte-wide registers, reached through a select-then-transfer protocol:
// Select(word) picks register (word >> 8) & 0xFF and a byte count word & 0xFF (0 releases the
// selection); Read/Write then move that many bytes. Register 12 bit 0x20 is the snapshot button:
// it reads as set from a press until the press is acknowledged by writing register 12 back with the
// bit clear, or until the button is released. Writes never set the bit.
class RegisterFile {
public:
    static constexpr int kButtonRegister = 12;
    static constexpr uint8_t kButtonBit = 0x20;

    RegisterFile();
    bool Select(uint32_t word);
    uint32_t Selection() const { return selection_; }
    bool Read(uint8_t* out) const;
    bool Write(const uint8_t* in);

    // The physical button; a new press (released -> pressed) shows in register 12 again.
    void SetButton(bool pressed);
    // A press shorter than a poll: the device latches it until it is acknowledged.
    void Pulse() { latched_ = true; }
    // A device whose bit follows the button while it is held, whatever is written back.
    void SetSticky(bool sticky) { sticky_ = sticky; }
    bool ButtonVisible() const { return (pressed_ && !acknowledged_) || latched_; }

    uint8_t Peek(int reg) const;
    void Poke(int reg, uint8_t value);

private:
    uint8_t regs_[256];
    uint32_t selection_ = 0;
    bool pressed_ = false;
    bool acknowledged_ = false;
    bool latched_ = false;
    bool sticky_ = false;
};

}  // namespace simdev
