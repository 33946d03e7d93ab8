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
    bool ButtonVisible() const { return pressed_ && !acknowledged_; }

    uint8_t Peek(int reg) const;
    void Poke(int reg, uint8_t value);

private:
    uint8_t regs_[256];
    uint32_t selection_ = 0;
    bool pressed_ = false;
    bool acknowledged_ = false;
};

}  // namespace simdev
