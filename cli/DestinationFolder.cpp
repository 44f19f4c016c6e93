#include "DestinationFolder.h"

DestinationFolder ChooseDestinationFolder(const std::optional<std::string>& outputFolder) {
    if (outputFolder) {
        return {1, *outputFolder};
    }
    return {};
}
