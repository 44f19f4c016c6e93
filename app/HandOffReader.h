// The receiving side of the hand-off: takes every pending item out of the clipboard mailbox.
#pragma once

#include <functional>
#include <string>
#include <string_view>

// Opens the clipboard, passes every pending item to `addItem` in the order the senders wrote them
// (with the double quotes at both ends removed; empty items and items of quotes only skipped),
// then clears the pending text and closes the clipboard. The clipboard stays open while `addItem`
// runs, so a sender arriving meanwhile waits. When the clipboard cannot be opened nothing is
// taken, and the next call finds the items still pending.
void TakeHandOffItems(const std::function<void(const std::string& path)>& addItem);

// The items of one hand-off text, as TakeHandOffItems hands them out.
void ForEachHandOffItem(std::string_view text, const std::function<void(const std::string& path)>& addItem);
