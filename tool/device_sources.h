// Run steps that read from the connected headset: the connected-serial
// print, the choice of the one headset, and what a run takes from it.
#pragma once

#include "tool/pipeline.h"

// /PrintSentinelSerial: prints "connectedserial: <serial>" and ends the run
// with 0 when one headset was found, with 1 otherwise; nothing else runs.
StepResult PrintConnectedSerial(RunContext& run);

// Opens the one headset when any option reads or writes it.
StepResult OpenDeviceWhenNeeded(RunContext& run);

// The headset's stored configuration, read the first time a step asks for
// it: the result of ReadConfigFromDevice, and the text in `text`.
int ReadDeviceConfigOnce(RunContext& run, const std::string** text);

// /InputSentinel: the headset's stored configuration becomes the base document.
StepResult LoadBaseFromDevice(RunContext& run);

// /SerialSentinel: the serial number the headset was found under.
StepResult TakeSerialFromDevice(RunContext& run);

// /MfgBuildInfoSentinel: mfg_build_info replaced whole by the headset's.
StepResult TakeMfgBuildInfoFromDevice(RunContext& run);
