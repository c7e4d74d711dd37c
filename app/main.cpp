#include "app/CManagerApp.h"

using namespace korvane;

int main(int argc, char** argv)
{
    return theApp.Run(argc, argv);
}
