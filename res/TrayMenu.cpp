#include "MenuTemplate.h"
#include "resource.h"

#include <array>

namespace {

constexpr std::array kTrayMenuItems{
    MenuItem{ID_SETTINGS, "Program &Settings..."},
    MenuItem{0, ""},
    MenuItem{ID_ABOUT, "&About Larkspur(tm)..."},
    MenuItem{ID_EXIT, "E&xit Program"},
};

} // namespace

const std::span<const MenuItem> kTrayMenu{kTrayMenuItems};
