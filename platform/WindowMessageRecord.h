// The form in which a posted message travels between copies over a window socket.
#pragma once

#include "Win32Types.h"

#include <array>
#include <cstddef>
#include <optional>
#include <span>

struct WindowMessage {
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

// A fixed-size record: a mark that tells a record from stray bytes, then the three numbers.
inline constexpr std::size_t kWindowMessageRecordSize = 24;
using WindowMessageRecord = std::array<std::byte, kWindowMessageRecordSize>;

WindowMessageRecord EncodeWindowMessage(const WindowMessage& message);
// The message in `record`, or nothing when the record does not carry the mark.
std::optional<WindowMessage> DecodeWindowMessage(std::span<const std::byte, kWindowMessageRecordSize> record);
