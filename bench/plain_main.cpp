// zarnet with the plain automaton walk, for comparisons.

#include "driver/zarnet_main.h"

int main(int argc, char** argv)
{
    return zarnet_main_plain(argc, argv);
}
