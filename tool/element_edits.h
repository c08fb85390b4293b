// Key-by-key edits of the free-form blocks of the working configuration:
// firmware_config (delete all, overlays, deletes, prints, sets) and
// mfg_build_info (sets). A key names one member of the block's top level;
// it is never split at dots or slashes.
//
// A block is edited only while it is an object or null (null becomes an
// object when a member is added). A block holding anything else stops the
// edit that would look a member up in it, with a message naming the block.
// Every failure leaves `error` holding the message to print, line end
// included.
#pragma once

#include <json/json.h>

#include <string>
#include <vector>

#include "tool/pipeline.h"
#include "tool/tool_options.h"

// True when members can be looked up in `block`: an object or null.
bool CheckEditableBlock(const Json::Value& block, const char* blockName, std::string* error);

void DeleteAllFirmwareConfig(Json::Value* firmwareConfig, bool quiet);

// Merges the firmware_config of the configuration document at `path` into
// `firmwareConfig`; the rest of that document must load but is dropped.
bool OverlayFirmwareConfig(Json::Value* firmwareConfig, const std::string& path, bool quiet, std::string* error);

// A key that is not there is reported and skipped, not an error.
bool DeleteFirmwareConfigElements(Json::Value* firmwareConfig, const std::vector<std::string>& keys,
                                  bool quiet, std::string* error);

// Prints every key's member, in every mode. The lookup adds a missing
// member as null, so the printed key is written out later in the run.
bool PrintFirmwareConfigElements(Json::Value* firmwareConfig, const std::vector<std::string>& keys,
                                 std::string* error);

// Sets every edit's member in order. `label` starts each progress line
// ("FirmwareConfigSet", "SetMfgBuildInfo"). A value that does not convert
// stops the sets with the conversion's own message; earlier sets stay.
bool SetBlockElements(Json::Value* block, const char* blockName, const std::vector<TypedElementEdit>& edits,
                      const char* label, bool quiet, std::string* error);

// Pipeline steps: the firmware_config edits in their fixed order, then the
// mfg_build_info sets.
StepResult EditFirmwareConfig(RunContext& run);
StepResult SetMfgBuildInfo(RunContext& run);
