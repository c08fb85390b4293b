// Run steps that use the local canonical copy of the configuration through
// the sibling commands rigconf_path, rigconf_serial and rigconf_write.
#pragma once

#include "tool/pipeline.h"

// /InputLocal: the path that "rigconf_path device" prints becomes the
// input file.
StepResult FindLocalInputPath(RunContext& run);
