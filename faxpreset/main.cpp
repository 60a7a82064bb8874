#include "faxpreset/faxpreset_command.h"

#include <cstdio>

int main(int argc, char** argv)
{
    int status = korva::runFaxPreset(argc, argv, stdout, stderr);
    std::fflush(stdout);
    return status;
}
