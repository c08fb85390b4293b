// What a run says on standard output. Progress lines are left out in quiet
// mode (any print option), so that scripts find only the facts they asked
// for. Everything else, errors above all, is printed in every mode and says
// so by the name of the function it calls.
#pragma once

void PrintProgress(bool quiet, const char* format, ...) __attribute__((format(printf, 2, 3)));
void PrintInEveryMode(const char* format, ...) __attribute__((format(printf, 1, 2)));
