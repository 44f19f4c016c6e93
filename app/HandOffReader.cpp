#include "HandOffReader.h"

#include "Clipboard.h"
#include "CommandLine.h"
#include "HandOffSender.h"
#include "TextOperations.h"
#include "Tokenizer.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string_view>

// The splitter takes at most kMaxTokens items at a time, so the rest is split again until nothing
// is left; and every slot it fills is visited, since its count stops short of the last item when
// an empty item came before.
void ForEachHandOffItem(std::string_view text, const std::function<void(const std::string& path)>& addItem) {
    const char delimiters[] = {kHandOffDelimiter, '\0'};
    auto tokenizer = std::make_unique<CTokenizer>(); // large: a thousand slots
    while (!text.empty()) {
        tokenizer->Split(std::string(text).c_str(), delimiters);
        std::size_t consumed = 0; // bytes of `text` covered by the slots visited so far
        for (int slot = 0; slot < CTokenizer::kMaxTokens && consumed <= text.size(); ++slot) {
            std::string item = tokenizer->GetItem(slot);
            consumed += item.size() + 1; // the item and the delimiter that ended it
            if (item.empty())
                continue;
            StripQuotes(item.data());
            item.resize(std::strlen(item.c_str()));
            if (!item.empty())
                addItem(item);
        }
        text.remove_prefix(std::min(consumed, text.size()));
    }
}

void TakeHandOffItems(const std::function<void(const std::string& path)>& addItem) {
    UINT format = RegisterClipboardFormatA(kHandOffFormatName) & 0xFFFF;
    // Another thread or copy has it open: the items stay pending for the next ID_HANDOFF.
    if (!OpenClipboard(nullptr))
        return;
    HGLOBAL block = GetClipboardData(format);
    if (const char* bytes = static_cast<const char*>(GlobalLock(block)))
        ForEachHandOffItem(std::string_view(bytes, strnlen(bytes, GlobalSize(block))), addItem);
    GlobalUnlock(block);
    SetClipboardData(format, nullptr);
    CloseClipboard();
}
