// Sources that are files: the base document from a configuration file or
// from a calibration verification file, and the serial number from another
// configuration file. Every failure leaves `error` holding the message to
// print, line end included.
#pragma once

#include <cstdio>
#include <string>

#include "devconfig/trackeddeviceconfig.h"
#include "tool/pipeline.h"

// LoadFromFile into `config`; nothing is printed on success.
bool LoadInputFile(TrackedDeviceConfig* config, const std::string& path, std::string* error);

// The document held in the member "device_json" of the file's JSON root.
bool LoadVerificationFile(TrackedDeviceConfig* config, const std::string& path, std::string* error);

// Copies the serial number of the configuration file at `path` into
// `config` and prints it, in every mode.
bool TakeSerialFromFile(TrackedDeviceConfig* config, const std::string& path, std::string* error);

// Pipeline steps: the base document (the first source that applies; none
// keeps the defaults), then the serial number from a file.
StepResult LoadBaseDocument(RunContext& run);
StepResult ApplySerialFile(RunContext& run);
