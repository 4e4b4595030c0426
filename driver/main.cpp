#include "driver/command_line.h"

int main(int argc, char *argv[])
{
    promcfg_main(argc, argv);
}
