// mivoctl entry point.
#include <iostream>
#include <string>
#include <vector>

#include "cli/mivoctl.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return mivo::cli::RunMivoctl(args, std::cout, std::cerr);
}
