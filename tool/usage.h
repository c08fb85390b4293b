// The usage text and the command-line error line shown in its place of a run.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

// The whole usage text; it ends with two line ends of its own.
const char* UsageText();

// Writes the usage text followed by one more line end.
void PrintUsage(FILE* out);

// "Command line error: <argument> <next argument>\n\n" for the argument at
// `stopIndex` of `args`. A missing argument prints as empty text, so an
// unrecognised last argument never leads to a read past the vector.
std::string CommandLineErrorText(const std::vector<std::string>& args, int stopIndex);
