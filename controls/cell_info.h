#pragma once
// What one cell of the extended list control is and shows, free of the platform.
#include <cstdint>
#include <string>
#include <vector>

namespace lumetra {

// A colour argument meaning "the list's default colour".
constexpr uint32_t kListDefaultColour = 0xFFFFFFFFu;

enum class TimeClockMode : int { None = -1, Length = 0, TwelveHour = 1 };

struct CellInfo {
    bool enabled = true;  // consulted on a row's column-0 cell only: a disabled row is grey and inert
    int image = -1;
    bool hot = false;

    bool edit = false, editRequested = false;
    bool combo = false, comboRequested = false;
    const std::vector<std::string>* comboStrings = nullptr;  // owned by the caller, outlives the cell
    int comboRows = 10;
    bool date = false, dateRequested = false;
    TimeClockMode timeMode = TimeClockMode::None;
    bool timeRequested = false;
    bool button = false, buttonPressed = false;
    std::string buttonText;

    uint32_t textColour = 0, backgroundColour = 0xFFFFFF;  // 0x00BBGGRR

    bool progress = false;
    int percent = 0;
    std::string progressText;  // a format with one %d; empty means "%d%%"
    bool showProgressText = true;

    int check = -1;  // -1 no box, 0 clear, 1 checked
};

// The caption of a progress cell: the format with the percentage; a format that is not a plain
// text with at most one "%d" falls back to "%d%%", so a stored text can never misuse printf.
std::string ProgressCaption(const std::string& format, int percent);

}  // namespace lumetra
