#include "schedule/schedule_texts.h"

#include <cstdio>

#include "app/format.h"
#include "schedule/schedule_item.h"

namespace lumetra {

const std::vector<std::string>& DayChoices() {
    static const std::vector<std::string> kDays = {"Every Day", "Sunday",   "Monday", "Tuesday", "Wednesday",
                                                   "Thursday",  "Friday",   "Saturday", "Weekdays (Mon-Fri)"};
    return kDays;
}

const std::vector<std::string>& SourceChoices() {
    static const std::vector<std::string> kSources = {"TV Tuner", "Composite", "S-Video", "Webcam"};
    return kSources;
}

const std::vector<std::string>& ChannelChoices() {
    static const std::vector<std::string> kChannels = [] {
        std::vector<std::string> channels;
        for (int channel = 0; channel <= 99; ++channel) {
            char text[8];
            std::snprintf(text, sizeof text, "%02d", channel);
            channels.push_back(text);
        }
        return channels;
    }();
    return kChannels;
}

const std::vector<std::string>& StatusTexts() {
    static const std::vector<std::string> kStatus = {"New",      "OK",      "Recording", "Recorded",
                                                     "Missed",   "Conflict", "Skipped",  "Failed"};
    return kStatus;
}

std::string StatusText(int32_t status) {
    const std::vector<std::string>& texts = StatusTexts();
    return status >= 0 && static_cast<size_t>(status) < texts.size() ? texts[static_cast<size_t>(status)] : "";
}

std::string StartTimeText(int32_t startTime) { return FormatTime12(startTime); }

std::string LengthText(int32_t durationSecs) {
    char text[32];
    std::snprintf(text, sizeof text, "%d:%02d", static_cast<int>(durationSecs / 3600 % 24),
                  static_cast<int>(durationSecs / 60 % 60));
    return text;
}

std::string DateText(int32_t date) { return FormatLongDate(date); }

std::string ChannelText(int32_t sourceChoice, int32_t channelChoice) {
    if (sourceChoice != 0) return kNoChannelText;
    char text[16];
    std::snprintf(text, sizeof text, "%02d", static_cast<int>(channelChoice));
    return text;
}

std::string ChoiceText(const std::vector<std::string>& choices, int32_t index) {
    if (index < 0 || static_cast<size_t>(index) >= choices.size()) return kUnsetCellText;
    return choices[static_cast<size_t>(index)];
}

bool IsRowComplete(const std::vector<std::string>& cellTexts, int32_t sourceChoice) {
    auto set = [&](int column) {
        return static_cast<size_t>(column) < cellTexts.size() && cellTexts[static_cast<size_t>(column)] != kUnsetCellText;
    };
    if (!set(kColDay) || !set(kColStart) || !set(kColLength) || !set(kColSource)) return false;
    return sourceChoice != 0 || set(kColChannel);
}

}  // namespace lumetra
