#include "simdev/control_values.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <sstream>

namespace simdev {

Profile ParseProfile(const std::string& text) {
    std::string t;
    for (char c : text)
        if (!std::isspace(static_cast<unsigned char>(c))) t += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (t == "grabber") return Profile::Grabber;
    if (t == "webcam") return Profile::Webcam;
    return Profile::TvBox;
}

const char* ProfileName(Profile p) {
    switch (p) {
    case Profile::TvBox: return "tvbox";
    case Profile::Grabber: return "grabber";
    case Profile::Webcam: return "webcam";
    }
    return "tvbox";
}

namespace {
bool ParseInt(const std::string& s, int& out) {
    size_t a = s.find_first_not_of(" \t"), b = s.find_last_not_of(" \t");
    if (a == std::string::npos) return false;
    std::string t = s.substr(a, b - a + 1);
    if (t.empty() || t.size() > 9) return false;
    size_t i = (t[0] == '-') ? 1 : 0;
    if (i == t.size()) return false;
    for (; i < t.size(); ++i)
        if (!std::isdigit(static_cast<unsigned char>(t[i]))) return false;
    out = std::atoi(t.c_str());
    return true;
}

std::vector<std::string> Split(const std::string& text, char sep) {
    std::vector<std::string> parts;
    std::stringstream in(text);
    std::string part;
    while (std::getline(in, part, sep)) parts.push_back(part);
    return parts;
}
}  // namespace

std::vector<int> ParseChannelList(const std::string& text) {
    std::vector<int> list;
    for (const std::string& part : Split(text, ',')) {
        size_t dash = part.find('-');
        int a = 0, b = 0;
        if (dash != std::string::npos) {
            if (!ParseInt(part.substr(0, dash), a) || !ParseInt(part.substr(dash + 1), b) || b < a || b - a > 10000)
                continue;
            for (int c = a; c <= b; ++c) list.push_back(c);
        } else if (ParseInt(part, a)) {
            list.push_back(a);
        }
    }
    std::sort(list.begin(), list.end());
    list.erase(std::unique(list.begin(), list.end()), list.end());
    return list;
}

bool ContainsChannel(const std::vector<int>& list, int channel) {
    return std::binary_search(list.begin(), list.end(), channel);
}

bool ParseRect(const std::string& text, Rect& out) {
    out = Rect{};
    std::vector<std::string> parts = Split(text, ',');
    int v[4];
    if (parts.size() != 4) return false;
    for (int i = 0; i < 4; ++i)
        if (!ParseInt(parts[i], v[i])) return false;
    Rect r{v[0], v[1], v[2], v[3]};
    if (r.Empty()) return false;
    out = r;
    return true;
}

bool ParseRange(const std::string& text, ValueRange& out) {
    std::vector<std::string> parts = Split(text, ',');
    int v[2];
    if (parts.size() != 2 || !ParseInt(parts[0], v[0]) || !ParseInt(parts[1], v[1]) || v[0] >= v[1]) return false;
    out = ValueRange{v[0], v[1]};
    return true;
}

CrossbarLayout ParseCrossbarLayout(const std::string& text) {
    std::string t;
    for (char c : text)
        if (!std::isspace(static_cast<unsigned char>(c))) t += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (t == "nocomposite") return CrossbarLayout::NoComposite;
    if (t == "svideo") return CrossbarLayout::SVideoOnly;
    return CrossbarLayout::Full;
}

CameraControls::Result CameraControls::Get(uint32_t id, int32_t& value) const {
    switch (id) {
    case kAutoExposure: value = autoExposure_; break;
    case kAutoValue: value = autoValue_; break;
    case kManualValue: value = manualValue_; break;
    case kAmbientLight: value = light_; break;
    case kFlicker: value = flicker_; break;
    case kManualMax: value = kManualMaximum; break;
    case kAutoMax: value = kAutoMaximum; break;
    default: return Result::UnknownId;
    }
    return Result::Ok;
}

CameraControls::Result CameraControls::Set(uint32_t id, int32_t value) {
    auto store = [&](int32_t& field, int32_t max) {
        if (value < 0 || value > max) return Result::OutOfRange;
        field = value;
        return Result::Ok;
    };
    switch (id) {
    case kAutoExposure: return store(autoExposure_, 1);
    case kAutoValue: return store(autoValue_, kAutoMaximum);
    case kManualValue: return store(manualValue_, kManualMaximum);
    case kAmbientLight: return store(light_, 2);
    case kFlicker: return store(flicker_, 2);
    case kManualMax:
    case kAutoMax: return Result::ReadOnly;
    default: return Result::UnknownId;
    }
}

int CameraControls::ExposurePercent() const {
    return autoExposure_ ? autoValue_ * 100 / 128 : manualValue_ * 100 / 500;
}

RegisterFile::RegisterFile() {
    for (int i = 0; i < 256; ++i) regs_[i] = 0;
    regs_[0] = 0x40;  // chip identification
    regs_[1] = 0x01;  // revision
}

bool RegisterFile::Select(uint32_t word) {
    const uint32_t reg = (word >> 8) & 0xFF, count = word & 0xFF;
    if (word > 0xFFFF || reg + count > 256) return false;
    selection_ = word;
    return true;
}

bool RegisterFile::Read(uint8_t* out) const {
    const int reg = static_cast<int>((selection_ >> 8) & 0xFF), count = static_cast<int>(selection_ & 0xFF);
    if (count == 0 || !out) return false;
    for (int i = 0; i < count; ++i) out[i] = Peek(reg + i);
    return true;
}

bool RegisterFile::Write(const uint8_t* in) {
    const int reg = static_cast<int>((selection_ >> 8) & 0xFF), count = static_cast<int>(selection_ & 0xFF);
    if (count == 0 || !in) return false;
    for (int i = 0; i < count; ++i) Poke(reg + i, in[i]);
    return true;
}

void RegisterFile::SetButton(bool pressed) {
    if (pressed != pressed_) acknowledged_ = false;
    pressed_ = pressed;
}

uint8_t RegisterFile::Peek(int reg) const {
    if (reg < 0 || reg > 255) return 0;
    if (reg == kButtonRegister)
        return static_cast<uint8_t>((regs_[reg] & ~kButtonBit) | (ButtonVisible() ? kButtonBit : 0));
    return regs_[reg];
}

void RegisterFile::Poke(int reg, uint8_t value) {
    if (reg < 0 || reg > 255) return;
    if (reg == kButtonRegister) {
        if (!(value & kButtonBit) && pressed_ && !sticky_) acknowledged_ = true;
        if (!(value & kButtonBit)) latched_ = false;
        value = static_cast<uint8_t>(value & ~kButtonBit);
    }
    regs_[reg] = value;
}

}  // namespace simdev
