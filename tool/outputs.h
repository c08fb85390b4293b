// Destinations that are files or streams: an output file and standard
// output. Both write the same final configuration, each with the revision
// raised by one in its own text only, so they carry the same revision.
#pragma once

#include <cstdio>
#include <string>

#include "devconfig/trackeddeviceconfig.h"
#include "tool/pipeline.h"

// Replaces the file at exactly `path` (no configuration directory)
// atomically; on failure `error` holds the message to print.
bool WriteOutputFile(const TrackedDeviceConfig& config, const std::string& path, bool quiet, std::string* error);

// The document followed by one more line end, in every mode. False when
// the stream did not take all of it (a full disk behind a redirection).
bool WriteDocumentTo(const TrackedDeviceConfig& config, FILE* out);

// Pipeline steps.
StepResult WriteFileOutput(RunContext& run);
StepResult WriteStdoutOutput(RunContext& run);
