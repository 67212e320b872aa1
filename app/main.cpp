// Entry point of mivo-config.
#include <iostream>
#include <string>
#include <vector>

#include "app/host.h"
#include "app/program.h"

int main(int argc, char** argv) {
    return mivo::RunMivoConfig(mivo::ProgramArguments(argc, argv), std::cout, std::cerr);
}
