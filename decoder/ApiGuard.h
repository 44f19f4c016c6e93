// The library's operations return result codes and never let an exception escape to the caller.
#pragma once

#include "decoder.h"

#include <new>

template <class Body>
int Guarded(Body body) noexcept {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return XA_ERROR_OUT_OF_MEMORY;
    } catch (...) {
        return XA_ERROR_INTERNAL;
    }
}
