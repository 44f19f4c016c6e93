#include "WindowMessageRecord.h"

#include <cstdint>
#include <cstring>

namespace {

constexpr std::uint32_t kRecordMark = 0x4C6B5370; // "pSkL" in memory on little-endian machines

struct RecordLayout {
    std::uint32_t mark;
    std::uint32_t message;
    std::uint64_t wParam;
    std::int64_t lParam;
};
static_assert(sizeof(RecordLayout) == kWindowMessageRecordSize);

} // namespace

WindowMessageRecord EncodeWindowMessage(const WindowMessage& message) {
    RecordLayout layout{kRecordMark, message.message, message.wParam, message.lParam};
    WindowMessageRecord record{};
    std::memcpy(record.data(), &layout, sizeof layout);
    return record;
}

std::optional<WindowMessage>
DecodeWindowMessage(std::span<const std::byte, kWindowMessageRecordSize> record) {
    RecordLayout layout{};
    std::memcpy(&layout, record.data(), sizeof layout);
    if (layout.mark != kRecordMark)
        return std::nullopt;
    return WindowMessage{layout.message, static_cast<WPARAM>(layout.wParam),
                         static_cast<LPARAM>(layout.lParam)};
}
