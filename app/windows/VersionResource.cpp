#include "app/windows/VersionResource.h"

#include "common/DebugTrace.h"
#include "platform/win32.h"

#include <cstring>

namespace {
// The block opens with three WORDs (length, value length, type) and the key
// "VS_VERSION_INFO" in UTF-16; its value, the fixed file information, starts at the next
// 32-bit boundary.
constexpr char kKey[] = "VS_VERSION_INFO";
constexpr std::size_t kKeyOffset = 6;
constexpr std::size_t kKeyBytes = sizeof kKey * 2; // with its terminator
constexpr std::size_t kFixedOffset = (kKeyOffset + kKeyBytes + 3) / 4 * 4;
constexpr std::uint32_t kFixedSignature = 0xFEEF04BD;
constexpr std::size_t kFixedSize = 52;

std::uint16_t Word(const std::uint8_t* at) {
    return static_cast<std::uint16_t>(at[0] | (at[1] << 8));
}

std::uint32_t Dword(const std::uint8_t* at) {
    return static_cast<std::uint32_t>(Word(at)) | (static_cast<std::uint32_t>(Word(at + 2)) << 16);
}

bool KeyMatches(const std::uint8_t* block) {
    for (std::size_t i = 0; i < sizeof kKey; ++i) {
        if (Word(block + kKeyOffset + 2 * i) != static_cast<std::uint8_t>(kKey[i])) {
            return false;
        }
    }
    return true;
}
} // namespace

std::string FileVersionOf(const std::uint8_t* block, std::size_t size) {
    if (block == nullptr || size < kFixedOffset + kFixedSize || Word(block) > size ||
        Word(block + 2) < kFixedSize || !KeyMatches(block)) {
        return {};
    }
    const std::uint8_t* fixed = block + kFixedOffset;
    if (Dword(fixed) != kFixedSignature) {
        return {};
    }
    const std::uint32_t high = Dword(fixed + 8);
    const std::uint32_t low = Dword(fixed + 12);
    return FormatText("%u.%u.%u.%u", high >> 16, high & 0xFFFF, low >> 16, low & 0xFFFF);
}

std::string ReadOwnVersion() {
    const HMODULE hModule = GetModuleHandleA(nullptr);
    const HRSRC hInfo = FindResourceA(hModule, MAKEINTRESOURCEA(1), RT_VERSION);
    if (hInfo == nullptr) {
        return {};
    }
    const HGLOBAL hData = LoadResource(hModule, hInfo);
    const void* data = hData != nullptr ? LockResource(hData) : nullptr;
    if (data == nullptr) {
        return {};
    }
    return FileVersionOf(static_cast<const std::uint8_t*>(data), SizeofResource(hModule, hInfo));
}
