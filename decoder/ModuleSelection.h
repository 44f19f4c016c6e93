// Which registered module handles a name: the one numbered `module`, or with
// XA_DECODER_MODULE_AUTO the first registered module that accepts the name.
#pragma once

#include "decoder.h"

#include <vector>

// The module's index, or XA_ERROR_NO_SUCH_MODULE.
template <class Module>
int SelectModule(const std::vector<Module>& modules, const char* name, int module) {
    if (module == XA_DECODER_MODULE_AUTO) {
        for (std::size_t i = 0; i < modules.size(); ++i) {
            if (modules[i].accepts(name)) {
                return static_cast<int>(i);
            }
        }
        return XA_ERROR_NO_SUCH_MODULE;
    }
    return module >= 0 && static_cast<std::size_t>(module) < modules.size() ? module
                                                                            : XA_ERROR_NO_SUCH_MODULE;
}
