// Whole reads and writes on file descriptors, resumed after short transfers and signals.
#pragma once

#include <cstddef>

// Reads exactly `size` bytes; false at an error or when the file ends first.
bool ReadFully(int fd, void* buffer, std::size_t size);

// Writes exactly `size` bytes; false at an error.
bool WriteFully(int fd, const void* buffer, std::size_t size);
