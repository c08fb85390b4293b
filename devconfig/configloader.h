// Turning document text into a TrackedDeviceConfig and back: the only way
// configuration documents are read and written.
#pragma once

#include <json/json.h>

#include <string>

#include "devconfig/trackeddeviceconfig.h"

// Checks that `root` can be read as a configuration document: the root is
// an object, every section read as an object or array is one (or null), all
// its text (member names included) is UTF-8, and a textual
// "direct_mode_edid_pid" is a product id. The error text names the
// offending member.
bool ValidateConfigDocument(const Json::Value& root, std::string* error);

// ValidateConfigDocument, then FromJson. On failure the model is untouched
// when the document was refused, reset when reading it failed or found a
// calibration section holding a member of the wrong container kind.
bool FillConfigFromJson(TrackedDeviceConfig* model, const Json::Value& root, std::string* error);
// The same, moving the blocks kept verbatim out of `root` (TakeFromJson).
bool FillConfigFromJson(TrackedDeviceConfig* model, Json::Value&& root, std::string* error);

// Parses (comments allowed) and fills the model, without the HMD check. On
// failure the model is untouched (or reset, see FillConfigFromJson).
bool ParseText(TrackedDeviceConfig* model, const std::string& text, std::string* error);

// ParseText, then the one validation rule: an HMD document needs a complete
// "device" section (the model is reset when it has none). errorOut is
// cleared first and holds one message after a failure.
bool LoadFromString(TrackedDeviceConfig* model, std::string* errorOut, const std::string& text);

// That rule on a model. The text written from a model loads back when the
// model passes it (the writer writes what the reader reads, which the fuzz
// harnesses hold it to), so an output is checked here instead of parsed again.
bool CheckLoadable(const TrackedDeviceConfig& model, std::string* error);

// Reads the file at `path` (a byte order mark dropped, CR LF made LF), or
// with inConfigDirectory the file cfg/hmd/<path>.json of the driver
// configuration directory, then LoadFromString.
bool LoadFromFile(TrackedDeviceConfig* model, std::string* errorOut, const std::string& path,
                  bool inConfigDirectory = false);

// The document text in the styled layout. With raiseRevision, its
// "revision" is one above the model's (modulo 2^32); the model itself keeps
// its revision, so every output of a run carries the same number.
std::string ToJsonString(const TrackedDeviceConfig& model, bool raiseRevision);

// Writes ToJsonString(model, true) to exactly `path` (or, with
// inConfigDirectory, to cfg/hmd/<path>.json of the driver configuration
// directory). The file is replaced atomically: a failed write leaves the old
// file as it was. The optional error text says why a write failed.
bool SaveToFile(const TrackedDeviceConfig& model, const std::string& path, bool inConfigDirectory = false,
                std::string* error = nullptr);

// The reformat rule: unless the user keeps the loaded form, every document
// is written in the latest form.
void ReformatToLatest(TrackedDeviceConfig* model);
