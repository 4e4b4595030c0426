#include "driver/command_line.h"

int main(int argc, char *argv[])
{
    return promcfg_main(argc, argv);
}
