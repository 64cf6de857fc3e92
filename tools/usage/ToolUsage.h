#pragma once

// Every tool answers --help and -h with its usage on standard output and exit
// status 0; after arguments it cannot use, the usage goes to standard error
// with exit status 2.

// Any argument after the program's name is --help or -h.
bool askedForHelp(int argc, char** argv);
// Prints the usage where it belongs and returns the exit status.
int showUsage(const char* usage, bool asked);
