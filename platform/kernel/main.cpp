// The process entry point on this platform; on Windows the C runtime's
// start-up calls WinMain itself.
#include "kernel/startup.h"

int main(int argc, char** argv)
{
    return platform::run_program(argc, argv);
}
