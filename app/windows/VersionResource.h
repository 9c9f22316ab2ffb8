// The version that Orvane.exe carries in its own version block.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// "1.0.0.8": the file version of the fixed part of the executable's version block, read back
// from the running module. Empty when the block is missing or malformed.
std::string ReadOwnVersion();

// The file version of a VS_VERSION_INFO block held in `size` bytes; empty when the bytes are
// not one.
std::string FileVersionOf(const std::uint8_t* block, std::size_t size);
