#include <iostream>
#include <string>
#include <vector>

#include "tools/CtlCommandTable.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    return q208::CtlCommandTable::Standard().Run(args, std::cout, std::cerr);
}
