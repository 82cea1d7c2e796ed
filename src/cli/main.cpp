#include <iostream>

#include "cli/Run.h"

int main(int argc, char* argv[])
{
    return qxr::cli::Run(argc, argv, std::cout, std::cerr);
}
