#pragma once

// The program: start-up, menu and race in turn until the player quits, then
// shut-down in order. Returns the exit code.
int runProgram(int argc, char** argv);
