// Movable memory blocks behind handles, as the clipboard hands them out and takes them over.
// Here they are heap buffers; a handle that is not a live block is refused by every call.
#pragma once

#include "Win32Types.h"

#include <cstddef>

struct GlobalBlock;
using HGLOBAL = GlobalBlock*;

inline constexpr UINT GMEM_MOVEABLE = 0x0002;
inline constexpr UINT GMEM_ZEROINIT = 0x0040;
inline constexpr UINT GMEM_DDESHARE = 0x2000;

// A new block of `bytes` bytes, zeroed with GMEM_ZEROINIT; NULL when memory runs out.
HGLOBAL GlobalAlloc(UINT flags, std::size_t bytes);
// The block's first byte (NULL for a handle that is no block); counts the locks.
void* GlobalLock(HGLOBAL block);
// TRUE while the block is still locked after this call, as on Windows.
BOOL GlobalUnlock(HGLOBAL block);
// The block's size in bytes, 0 for a handle that is no block.
std::size_t GlobalSize(HGLOBAL block);
// NULL once the block is freed; the handle itself when it is no block.
HGLOBAL GlobalFree(HGLOBAL block);
