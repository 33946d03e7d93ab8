#include "tv/channel_list.h"

#include <algorithm>
#include <cctype>

namespace lumetra {

int WrapChannel(int channel, int min, int max) {
    if (channel < min) return max;
    if (channel > max) return min;
    return channel;
}

int LeadingNumber(const std::string& text) {
    int value = 0;
    for (size_t i = 0; i < text.size() && i < 9 && std::isdigit(static_cast<unsigned char>(text[i])); ++i)
        value = value * 10 + (text[i] - '0');
    return value;
}

ChannelList::Lookup ChannelList::Find(int channel) const {
    Lookup result;
    for (int i = 0; i < Count(); ++i) {
        if (channels_[static_cast<size_t>(i)] == channel) {
            result.found = true;
            result.index = i;
            return result;
        }
        if (channels_[static_cast<size_t>(i)] > channel) {
            result.insertAt = i;
            return result;
        }
    }
    return result;
}

void ChannelList::Fill(int min, int max) {
    channels_.clear();
    for (int c = std::max(min, 0); c <= std::min(max, kMaxListedChannel); ++c) channels_.push_back(c);
}

bool ChannelList::Insert(int channel) {
    if (!IsListable(channel)) return false;
    Lookup at = Find(channel);
    if (at.found) return false;
    channels_.insert(at.insertAt < 0 ? channels_.end() : channels_.begin() + at.insertAt, channel);
    return true;
}

bool ChannelList::Append(int channel) {
    if (!IsListable(channel) || Find(channel).found) return false;
    channels_.push_back(channel);
    return true;
}

int ChannelList::Remove(int channel) {
    Lookup at = Find(channel);
    if (!at.found) return -1;
    channels_.erase(channels_.begin() + at.index);
    if (channels_.empty()) return -1;
    return channels_[static_cast<size_t>(std::min(at.index, Count() - 1))];
}

int ChannelList::Next(int channel) const {
    if (channels_.empty()) return -1;
    Lookup at = Find(channel);
    int index = at.found ? at.index + 1 : at.insertAt;
    if (index < 0 || index >= Count()) index = 0;
    return channels_[static_cast<size_t>(index)];
}

int ChannelList::Previous(int channel) const {
    if (channels_.empty()) return -1;
    Lookup at = Find(channel);
    int position = at.found ? at.index : at.insertAt;
    int index = position <= 0 ? Count() - 1 : position - 1;
    return channels_[static_cast<size_t>(index)];
}

std::vector<uint8_t> ChannelList::Encode() const {
    std::vector<uint8_t> bytes;
    for (int c : channels_) bytes.push_back(static_cast<uint8_t>(c));
    return bytes;
}

bool ChannelList::Decode(const std::vector<uint8_t>& bytes, int min, int max) {
    if (bytes.empty() || bytes.size() > kMaxListedChannels) return false;
    std::vector<int> read;
    for (uint8_t b : bytes)
        if (b >= min && b <= max) read.push_back(b);
    std::sort(read.begin(), read.end());
    read.erase(std::unique(read.begin(), read.end()), read.end());
    if (read.empty()) return false;
    channels_ = std::move(read);
    return true;
}

RecentChannels::RecentChannels(uint32_t packed) {
    for (int i = 0; i < kCount; ++i) values_[i] = static_cast<int>((packed >> (8 * i)) & 0xFF);
}

int RecentChannels::Find(int channel) const {
    for (int i = 0; i < kCount; ++i)
        if (values_[i] == channel) return i;
    return -1;
}

int RecentChannels::Remember(int channel) {
    int at = Find(channel);
    if (at >= 0) return at;
    if (!IsListable(channel)) return -1;
    for (int i = kCount - 1; i > 0; --i) values_[i] = values_[i - 1];
    values_[0] = channel;
    return 0;
}

uint32_t RecentChannels::Packed() const {
    uint32_t packed = 0;
    for (int i = 0; i < kCount; ++i) packed |= static_cast<uint32_t>(values_[i] & 0xFF) << (8 * i);
    return packed;
}

TypedChannel::Outcome TypedChannel::AddDigit(int digit, int min, int max, int& channel) {
    value_ = value_ * 10 + digit;
    if (value_ <= 99) return Outcome::Waiting;
    channel = value_;
    value_ = 0;
    return channel >= min && channel <= max ? Outcome::Tune : Outcome::Discard;
}

}  // namespace lumetra
