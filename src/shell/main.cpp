#include "shell/CommandLine.h"
#include "shell/Startup.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    SetCommandLineArguments(std::vector<std::string>(argv + 1, argv + argc));
    return RunProgram();
}
