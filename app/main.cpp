// Entry point of mivo-config.
#include <iostream>
#include <string>
#include <vector>

#include "app/program.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return mivo::RunMivoConfig(args, std::cout, std::cerr);
}
