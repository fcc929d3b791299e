#include <unistd.h>

#include <clocale>
#include <iostream>
#include <string>
#include <vector>

#include "cli/NumberFormat.h"
#include "cli/SimulatorCli.h"

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    const netsim::cli::NumberFormat numbers = netsim::cli::NumberFormat::fromCurrentLocale();
    // The engine shares this process and converts numbers with the C library; its results
    // must not depend on the user's decimal separator.
    std::setlocale(LC_NUMERIC, "C");

    netsim::cli::SimulatorCli cli(std::cout, numbers, ::isatty(STDOUT_FILENO) == 1);
    return cli.run(std::vector<std::string>(argv + 1, argv + argc));
}
