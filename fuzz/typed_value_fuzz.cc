// Typed element values (/FirmwareConfigSetElement, /SetMfgBuildInfo) and the
// EDID id converters (/SetDirectModeVidPid, "direct_mode_edid_*").
//
// Input: one byte of choices, then zero-separated fields: key, value, type
// name (used when chosen), vendor id text, product id text. Choices: bits 0-1
// pick the type name string, float, double or int; bit 2 takes the type name
// from the input instead; bit 3 edits mfg_build_info instead of
// firmware_config.
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "devconfig/configloader.h"
#include "devconfig/jsonhelpers.h"
#include "fuzz/fuzz_harnesses.h"
#include "tool/direct_mode_ids.h"
#include "tool/element_edits.h"
#include "tool/typed_value.h"

namespace fuzz_typed_value {

namespace {

const char kName[] = "typed_value";

std::vector<std::string> SplitFields(const uint8_t* data, size_t size, size_t count) {
  std::vector<std::string> fields;
  const std::string text(reinterpret_cast<const char*>(data), size);
  size_t start = 0;
  while (fields.size() < count) {
    if (start > text.size()) {
      fields.emplace_back();
      continue;
    }
    const size_t end = text.find('\0', start);
    fields.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
    start = end == std::string::npos ? text.size() + 1 : end + 1;
  }
  return fields;
}

// An HMD, so that the display members (the direct-mode ids) are written too.
bool LoadBase(TrackedDeviceConfig* model) {
  std::string error;
  return LoadFromString(model, &error,
                        "{\"device_class\": \"hmd\", \"device\": {\"eye_target_width_in_pixels\": 1,"
                        " \"eye_target_height_in_pixels\": 1, \"num_windows\": 1}}");
}

// Writes the model in the latest form, as a run does, and reads it back.
bool WriteAndReload(TrackedDeviceConfig* model, std::string* written, TrackedDeviceConfig* reloaded) {
  ReformatToLatest(model);
  *written = ToJsonString(*model, false);
  std::string error;
  if (!LoadFromString(reloaded, &error, *written))
    return FuzzInvariantBroken(kName, "the edited document does not load: " + error + "\n" + *written);
  ReformatToLatest(reloaded);
  if (!SameDocumentText(ToJsonString(*reloaded, false), *written))
    return FuzzInvariantBroken(kName, "the edited document is not a fixed point:\n" + *written);
  return true;
}

// The value as written to a document and read back.
bool CheckReadBack(const Json::Value& set, const Json::Value& read, const std::string& typeName) {
  if (typeName == "string")
    return read.isString() && read.asString() == set.asString();
  if (typeName == "int")
    return read.isInt64() && read.asInt64() == set.asInt64();
  const double v = set.asDouble();
  if (std::isnan(v))
    return read.isNull();
  // == rather than the bits: a negative zero reads back as the integer 0.
  return read.isDouble() && read.asDouble() == v;
}

bool CheckValue(const TypedElementEdit& edit, bool mfgBuildInfo) {
  std::string error;
  const Json::Value value = MakeTypedJsonValue(edit, &error);
  const std::string& type = edit.typeName;
  const bool known = type == "string" || type == "float" || type == "double" || type == "int";
  if (value.isNull()) {
    if (error.empty() || error.back() != '\n')
      return FuzzInvariantBroken(kName, "a refused value without a message line");
    if (type == "string")
      return FuzzInvariantBroken(kName, "a string value was refused");
    return true;
  }
  if (!known)
    return FuzzInvariantBroken(kName, "an unknown type name gave a value");
  if (!error.empty())
    return FuzzInvariantBroken(kName, "an accepted value left a message");
  if (type == "string" && (!value.isString() || value.asString() != edit.value))
    return FuzzInvariantBroken(kName, "a string value is not the text given");
  if (type == "int" && !value.isInt64())
    return FuzzInvariantBroken(kName, "an int value is not an integer");
  if ((type == "float" || type == "double") && !value.isDouble())
    return FuzzInvariantBroken(kName, "a real value is not a real");
  if (type == "float") {
    const double d = value.asDouble();
    if (!std::isnan(d) && static_cast<double>(static_cast<float>(d)) != d)
      return FuzzInvariantBroken(kName, "a float value is not single precision");
  }

  // Through the edit and a document written and read back, as a run and the
  // next run see it.
  TrackedDeviceConfig model;
  if (!LoadBase(&model))
    return FuzzInvariantBroken(kName, "the base document does not load");
  Json::Value* block = mfgBuildInfo ? &model.mfg_build_info : &model.firmware_config;
  const char* blockName = mfgBuildInfo ? "mfg_build_info" : "firmware_config";
  if (!SetBlockElements(block, blockName, {edit}, "Set", true, &error))
    return FuzzInvariantBroken(kName, "a value that converts was not set: " + error);
  std::string written;
  TrackedDeviceConfig reloaded;
  if (!WriteAndReload(&model, &written, &reloaded))
    return false;
  const Json::Value& readBlock = mfgBuildInfo ? reloaded.mfg_build_info : reloaded.firmware_config;
  // The writer escapes text as JSON's UTF-8 decoding does: bytes that are
  // not UTF-8 come out as other characters, so only valid text reads back.
  const bool validText = IsValidUtf8(edit.key) && (type != "string" || IsValidUtf8(edit.value));
  if (validText && !CheckReadBack(value, JsonAt(readBlock, edit.key), type))
    return FuzzInvariantBroken(kName, "the " + type + " value did not read back:\n" + written);
  return true;
}

bool CheckEdidIds(const std::string& vidText, const std::string& pidText, uint16_t raw) {
  // Vendor ids: three letters A-Z survive in upper case; every stored value
  // keeps its three 5-bit letters.
  const uint16_t vid = EncodeEdidVendorId(vidText);
  if (vidText.size() != 3 && vid != 0)
    return FuzzInvariantBroken(kName, "a vendor id text of other than three characters encoded");
  bool letters = vidText.size() == 3;
  std::string upper = vidText;
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z')
      c = static_cast<char>(c - 'a' + 'A');
    letters = letters && c >= 'A' && c <= 'Z';
  }
  if (letters && DecodeEdidVendorId(vid) != upper)
    return FuzzInvariantBroken(kName, "vendor id '" + vidText + "' decodes as " + DecodeEdidVendorId(vid));
  const uint16_t swapped = static_cast<uint16_t>((raw >> 8) | (raw << 8));
  const uint16_t kept = static_cast<uint16_t>(swapped & 0x7FFF);
  if (EncodeEdidVendorId(DecodeEdidVendorId(raw)) != static_cast<uint16_t>((kept >> 8) | (kept << 8)))
    return FuzzInvariantBroken(kName, "a stored vendor id does not survive decode and encode");

  // Product ids: four hex digits read back as the same id.
  int32_t pid = -7;
  std::string error;
  const bool parsed = ParseEdidProductId(pidText, &pid, &error);
  if (!parsed && (error.empty() || pid != 0))
    return FuzzInvariantBroken(kName, "a refused product id without a message, or not zeroed");
  if (parsed && pidText.size() <= 4 && (pid < -0xFFFF || pid > 0xFFFF))
    return FuzzInvariantBroken(kName, "product id '" + pidText + "' out of four digits");
  int32_t back = -1;
  if (!ParseEdidProductId(FormatEdidProductId(raw), &back, &error) || back != raw)
    return FuzzInvariantBroken(kName, "product id " + std::to_string(raw) + " does not survive format and parse");

  // Set as /SetDirectModeVidPid does, the ids survive a document round trip.
  TrackedDeviceConfig model;
  if (!LoadBase(&model))
    return FuzzInvariantBroken(kName, "the base document does not load");
  if (SetDirectModeIds(&model, vidText, pidText, true, &error)) {
    std::string written;
    TrackedDeviceConfig reloaded;
    if (!WriteAndReload(&model, &written, &reloaded))
      return false;
    if (reloaded.direct_mode_edid_vid != model.direct_mode_edid_vid ||
        reloaded.direct_mode_edid_pid != model.direct_mode_edid_pid)
      return FuzzInvariantBroken(kName, "direct-mode ids '" + vidText + "' '" + pidText +
                                            "' did not read back:\n" + written);
  }
  return true;
}

}  // namespace

bool FuzzOne(const uint8_t* data, size_t size) {
  if (size == 0)
    return true;
  static const char* const kTypes[] = {"string", "float", "double", "int"};
  const uint8_t choices = data[0];
  const std::vector<std::string> fields = SplitFields(data + 1, size - 1, 5);
  TypedElementEdit edit;
  edit.key = fields[0];
  edit.value = fields[1];
  edit.typeName = (choices & 4) != 0 ? fields[2] : kTypes[choices & 3];
  const uint16_t raw = size >= 3 ? static_cast<uint16_t>((data[1] << 8) | data[2]) : 0;
  return CheckValue(edit, (choices & 8) != 0) && CheckEdidIds(fields[3], fields[4], raw);
}

}  // namespace fuzz_typed_value
