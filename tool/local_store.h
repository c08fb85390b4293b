// Run steps that use the local canonical copy of the configuration through
// the sibling commands rigconf_path, rigconf_serial and rigconf_write.
#pragma once

#include "tool/pipeline.h"

// /InputLocal: the path that "rigconf_path device" prints becomes the
// input file.
StepResult FindLocalInputPath(RunContext& run);

// /SerialLocal: the serial number that "rigconf_serial" prints.
StepResult TakeSerialFromLocal(RunContext& run);

// /OutputLocal: the result goes to the staging file "configtool.json" in
// the temporary directory, which "rigconf_write device" then stores.
StepResult WriteToLocalStore(RunContext& run);
