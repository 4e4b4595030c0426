// The yardstick for start-up: the smallest dynamically linked C++ program
// that uses the C++ runtime and stdio, as promcfg does.
#include <cstdio>
#include <string>

int main(int argc, char *argv[])
{
    std::string greeting = argc > 0 ? argv[0] : "hello";
    printf("hello from %s\n", greeting.c_str());
    return 0;
}
