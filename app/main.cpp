#include "app/CManagerApp.h"

int main(int argc, char** argv)
{
    return theApp.Run(argc, argv);
}
