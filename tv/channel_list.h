#pragma once
// The TV tuner window's channel bookkeeping, free of the platform: the ascending channel list with
// its stored byte form, the four recent channels, channel numbers typed on the digit keys, and the
// wrap-around of the channel range.
//
// The stored forms hold one byte per channel, so only channels 0 to 255 can be listed or kept as
// recent channels. Higher channels can still be tuned; they are simply never listed or remembered,
// which also keeps a list at 256 entries at most (each channel appears once).
#include <cstdint>
#include <string>
#include <vector>

namespace lumetra {

constexpr int kMaxListedChannel = 255;
constexpr size_t kMaxListedChannels = 256;

// Whether a channel fits the stored byte forms.
inline bool IsListable(int channel) { return channel >= 0 && channel <= kMaxListedChannel; }

// Below min becomes max, above max becomes min; inside the range unchanged.
int WrapChannel(int channel, int min, int max);

// The number its leading decimal digits make (0 when it starts with none); at most nine digits are read.
int LeadingNumber(const std::string& text);

class ChannelList {
public:
    struct Lookup {
        bool found = false;
        int index = -1;     // where the channel is (found)
        int insertAt = -1;  // the first entry greater than the channel, -1 when none
    };

    const std::vector<int>& Channels() const { return channels_; }
    int Count() const { return static_cast<int>(channels_.size()); }
    bool Empty() const { return channels_.empty(); }
    void Clear() { channels_.clear(); }

    Lookup Find(int channel) const;
    // Every channel of min..max that can be listed.
    void Fill(int min, int max);
    // Adds a channel at its place in the order; false when it is already listed or cannot be listed.
    bool Insert(int channel);
    // Adds a channel found by a scan (which runs upwards); false when it cannot be listed.
    bool Append(int channel);
    // Removes a listed channel. Returns the channel that takes its place as current: the entry now at
    // the same index, or the new last entry when the removed one was last; -1 when the list is empty
    // now or the channel was not listed.
    int Remove(int channel);
    // The listed channel after / before `channel` (wrapping round); -1 when the list is empty.
    int Next(int channel) const;
    int Previous(int channel) const;

    // The stored form: one byte per channel in list order.
    std::vector<uint8_t> Encode() const;
    // Reads a stored list for the range min..max: false (and the list unchanged) when the bytes
    // cannot make one: none, more than 256, or none inside the range. Entries outside the range
    // and repeated entries of a damaged value are dropped, and the rest put in order.
    bool Decode(const std::vector<uint8_t>& bytes, int min, int max);

private:
    std::vector<int> channels_;
};

// The four most recently selected channels, most recent first; stored as four bytes of a 32-bit
// value with the most recent in the lowest byte.
class RecentChannels {
public:
    static constexpr int kCount = 4;
    explicit RecentChannels(uint32_t packed = 0);

    int At(int position) const { return values_[position]; }
    // The position holding the channel, -1 when none does.
    int Find(int channel) const;
    // Puts a channel that is not among the four in front, the others moving down one place.
    // Returns the channel's position afterwards; -1 for a channel that cannot be kept.
    int Remember(int channel);
    uint32_t Packed() const;

private:
    int values_[kCount];
};

// Channel numbers typed on the digit keys: two digits wait for Enter; a third makes a number of
// 100 or more, which is tuned at once when it lies in the range and discarded otherwise.
class TypedChannel {
public:
    enum class Outcome { Waiting, Tune, Discard };
    // Adds a digit. On Tune, channel is the number typed; after Tune or Discard the entry is empty.
    Outcome AddDigit(int digit, int min, int max, int& channel);
    int Value() const { return value_; }
    void Clear() { value_ = 0; }

private:
    int value_ = 0;
};

}  // namespace lumetra
