#pragma once
// The texts of the schedule lists: the choice lists of the drop-down cells, the status texts and the
// text forms of dates, times, lengths and channels; and the completeness rule on a row's texts.
#include <cstdint>
#include <string>
#include <vector>

namespace lumetra {

struct ScheduleItem;

constexpr const char* kUnsetCellText = "------";
constexpr const char* kNewItemText = "<<-- New Item -->>";
constexpr const char* kPendingText = "Pending";
constexpr const char* kNoChannelText = "--NA--";

// Index 0 every day, 1..7 Sunday..Saturday, 8 Monday to Friday.
const std::vector<std::string>& DayChoices();
// Index by input number: 0 the tuner (the only source with a channel), 1 composite, 2 S-Video, 3 webcam.
const std::vector<std::string>& SourceChoices();
const std::vector<std::string>& ChannelChoices();
// Indexed by ScheduleStatus; at least six.
const std::vector<std::string>& StatusTexts();
// The status text of a status value, "" outside the list.
std::string StatusText(int32_t status);

// "09:30 AM" of startTime's local hour and minute.
std::string StartTimeText(int32_t startTime);
// "1:30": hours within a day and minutes within the hour.
std::string LengthText(int32_t durationSecs);
// "Fri, Mar 5".
std::string DateText(int32_t date);
// "--NA--" unless the source is the tuner, else the channel choice as two digits.
std::string ChannelText(int32_t sourceChoice, int32_t channelChoice);
// A choice list's text at an index, or the unset text outside it.
std::string ChoiceText(const std::vector<std::string>& choices, int32_t index);

// Columns of both schedule lists.
enum ScheduleColumn : int {
    kColEnabled = 0, kColName, kColDay, kColStart, kColLength, kColSource, kColChannel, kColStatus, kColDelete,
    kScheduleColumnCount
};

// A row is complete when its day or date, start, length and source cells are set, and its channel
// cell too when the source is the tuner. cellTexts holds the row's texts by column.
bool IsRowComplete(const std::vector<std::string>& cellTexts, int32_t sourceChoice);

}  // namespace lumetra
