#include "driver/zarnet_main.h"

int main(int argc, char** argv)
{
    return zarnet_main(argc, argv);
}
