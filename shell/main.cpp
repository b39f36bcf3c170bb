// The program's entry: the command line as one string, as the system reports it, then the run.
#include "shell/program.h"

#include <string>

int main(int argc, char** argv)
{
    std::string command_line;
    for (int i = 0; i < argc; ++i) {
        if (i)
            command_line += ' ';
        command_line += argv[i];
    }
    return run_program(command_line.c_str());
}
