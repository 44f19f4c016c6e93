#include "RegistryTool.h"

#include <iostream>

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    return RunRegistryTool(arguments, std::cout, std::cerr);
}
