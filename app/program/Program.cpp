#include "app/program/Program.h"

int runProgram(int, char**) { return 0; }
