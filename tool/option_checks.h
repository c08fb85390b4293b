// Options that cannot run together, refused before the run reads a file or
// opens a headset.
#pragma once

#include "tool/tool_options.h"

// The message of the first conflict on the command line, or nullptr. The
// device input given with an input file outranks the usage text, so it is
// asked for apart (beforeUsage true); the other conflicts come after it.
const char* FindOptionConflict(const ToolOptions& options, bool beforeUsage);
