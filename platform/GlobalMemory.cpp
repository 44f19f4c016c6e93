#include "GlobalMemory.h"

#include <algorithm>
#include <memory>
#include <mutex>
#include <new>
#include <vector>

struct GlobalBlock {
    std::unique_ptr<std::byte[]> bytes;
    std::size_t size = 0;
    int locks = 0;
};

namespace {

std::mutex g_blocksMutex;
std::vector<std::unique_ptr<GlobalBlock>> g_blocks; // every live block; guarded by g_blocksMutex

auto FindLive(HGLOBAL block) {
    return std::find_if(g_blocks.begin(), g_blocks.end(),
                        [block](const std::unique_ptr<GlobalBlock>& live) { return live.get() == block; });
}

} // namespace

HGLOBAL GlobalAlloc(UINT flags, std::size_t bytes) {
    auto block = std::make_unique<GlobalBlock>();
    // Room for at least one byte, so that every live block has an address to lock.
    std::size_t reserved = std::max<std::size_t>(bytes, 1);
    block->bytes.reset((flags & GMEM_ZEROINIT) != 0 ? new (std::nothrow) std::byte[reserved]()
                                                    : new (std::nothrow) std::byte[reserved]);
    if (!block->bytes)
        return nullptr;
    block->size = bytes;
    std::lock_guard lock(g_blocksMutex);
    g_blocks.push_back(std::move(block));
    return g_blocks.back().get();
}

void* GlobalLock(HGLOBAL block) {
    std::lock_guard lock(g_blocksMutex);
    auto live = FindLive(block);
    if (live == g_blocks.end())
        return nullptr;
    ++(*live)->locks;
    return (*live)->bytes.get();
}

BOOL GlobalUnlock(HGLOBAL block) {
    std::lock_guard lock(g_blocksMutex);
    auto live = FindLive(block);
    if (live == g_blocks.end() || (*live)->locks == 0)
        return FALSE;
    return --(*live)->locks > 0 ? TRUE : FALSE;
}

std::size_t GlobalSize(HGLOBAL block) {
    std::lock_guard lock(g_blocksMutex);
    auto live = FindLive(block);
    return live == g_blocks.end() ? 0 : (*live)->size;
}

HGLOBAL GlobalFree(HGLOBAL block) {
    std::lock_guard lock(g_blocksMutex);
    auto live = FindLive(block);
    if (live == g_blocks.end())
        return block;
    g_blocks.erase(live);
    return nullptr;
}
