// Reads a fuzzer input from the front: single bytes for set-up, then the rest as data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class InputBytes {
  public:
    InputBytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    // The next byte, or 0 once the input is used up.
    std::uint8_t Take() { return pos_ < size_ ? data_[pos_++] : 0; }
    std::uint16_t TakeU16() {
        const std::uint16_t low = Take();
        return static_cast<std::uint16_t>(low | (Take() << 8));
    }
    std::uint32_t TakeU32() {
        const std::uint32_t low = TakeU16();
        return low | (static_cast<std::uint32_t>(TakeU16()) << 16);
    }
    // Everything not yet taken.
    std::string Rest() {
        std::string rest(reinterpret_cast<const char*>(data_ + pos_), size_ - pos_);
        pos_ = size_;
        return rest;
    }

  private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

// Splits on NUL bytes. Empty pieces count; an empty text gives no piece. Past `maxPieces`
// the remaining text is dropped.
std::vector<std::string> SplitOnNul(const std::string& text, std::size_t maxPieces);
