#include "cli/CliCommands.h"
#include "platform/Terminal.h"

#include <iostream>

int main(int argc, char* argv[])
{
    std::ios::sync_with_stdio(false);
    TCliStreams streams { std::cin, std::cout, std::cerr, ReadSecretFromTerminal };
    const int exit = RunCli(std::vector<std::string>(argv + 1, argv + argc), streams);
    std::cout.flush();
    return std::cout ? exit : 2;
}
