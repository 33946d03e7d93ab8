#pragma once
// Takes typed values off the front of a fuzzer's input; past its end every value reads as zero.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace lumetra::fuzz {

// Ends the run with a message when a harness's own check fails (libFuzzer reports it as a crash).
#define FUZZ_CHECK(condition)                                                                 \
    do {                                                                                      \
        if (!(condition)) {                                                                   \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                     \
        }                                                                                     \
    } while (0)

class Input {
public:
    Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    template <class T>
    T Take() {
        T value{};
        size_t n = sizeof(T) < Left() ? sizeof(T) : Left();
        if (n) std::memcpy(&value, data_ + at_, n);
        at_ += n;
        return value;
    }
    bool Flag() { return Take<uint8_t>() & 1; }
    // An integer in lo..hi.
    int Range(int lo, int hi) {
        uint32_t span = static_cast<uint32_t>(static_cast<int64_t>(hi) - lo) + 1;
        return static_cast<int>(lo + static_cast<int64_t>(span ? Take<uint32_t>() % span : Take<uint32_t>()));
    }
    // A text of up to maxLength bytes: its length comes first.
    std::string Text(size_t maxLength) {
        size_t n = Take<uint8_t>();
        n = n < maxLength ? n : maxLength;
        n = n < Left() ? n : Left();
        std::string s(reinterpret_cast<const char*>(data_ + at_), n);
        at_ += n;
        return s;
    }
    // The rest of the input.
    std::vector<uint8_t> Rest() {
        std::vector<uint8_t> rest(data_ + at_, data_ + size_);
        at_ = size_;
        return rest;
    }
    std::string RestText() {
        std::vector<uint8_t> rest = Rest();
        return std::string(rest.begin(), rest.end());
    }
    size_t Left() const { return size_ - at_; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

}  // namespace lumetra::fuzz
