// Typed element values (/FirmwareConfigSetElement, /SetMfgBuildInfo) and the
// EDID id converters (/SetDirectModeVidPid, "direct_mode_edid_*").
//
// Input: one byte of choices, then zero-separated fields: key, value, type
// name (used when chosen), vendor id text, product id text. Choices: bits 0-1
// pick the type name string, float, double or int; bit 2 takes the type name
// from the input instead; bit 3 edits mfg_build_info instead of
// firmware_config.
#include <cmath>
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

// An HMD, so that the display members (the direct-mode ids) are written too.
const char kBase[] =
    "{\"device_class\": \"hmd\", \"device\": {\"eye_target_width_in_pixels\": 1,"
    " \"eye_target_height_in_pixels\": 1, \"num_windows\": 1}}";

// Writes the model in the latest form, as a run does, reads it back, and
// checks that the text is a fixed point.
bool WriteAndReload(TrackedDeviceConfig* model, TrackedDeviceConfig* reloaded, std::string* written) {
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

bool CheckValue(const TypedElementEdit& edit, bool mfgBuildInfo) {
  std::string error;
  const Json::Value value = MakeTypedJsonValue(edit, &error);
  const std::string& type = edit.typeName;
  if (value.isNull()) {
    if (error.empty() || error.back() != '\n' || type == "string")
      return FuzzInvariantBroken(kName, "a refused value without a message line, or a refused string");
    return true;
  }
  const double number = value.isNumeric() ? value.asDouble() : 0;
  const bool shaped = (type == "string" && value.isString() && value.asString() == edit.value) ||
                      (type == "int" && value.isInt64()) || (type == "double" && value.isDouble()) ||
                      (type == "float" && value.isDouble() &&
                       (std::isnan(number) || static_cast<double>(static_cast<float>(number)) == number));
  if (!shaped || !error.empty())
    return FuzzInvariantBroken(kName, "an accepted " + type + " value of the wrong kind, or with a message");

  // Through the edit and a document written and read back, as a run and the
  // next run see it. The writer escapes text that is not UTF-8 as JSON's
  // decoding does, so only valid text reads back as it was.
  TrackedDeviceConfig model, reloaded;
  std::string written;
  LoadFromString(&model, &error, kBase);
  Json::Value* block = mfgBuildInfo ? &model.mfg_build_info : &model.firmware_config;
  if (!SetBlockElements(block, mfgBuildInfo ? "mfg_build_info" : "firmware_config", {edit}, "Set", true, &error))
    return FuzzInvariantBroken(kName, "a value that converts was not set: " + error);
  if (!WriteAndReload(&model, &reloaded, &written)) return false;
  if (!IsValidUtf8(edit.key) || (type == "string" && !IsValidUtf8(edit.value))) return true;
  // == rather than the bits, since a negative zero reads back as the integer 0.
  const Json::Value& read = JsonAt(mfgBuildInfo ? reloaded.mfg_build_info : reloaded.firmware_config, edit.key);
  const bool readBack = type == "string" ? read.isString() && read.asString() == edit.value
                        : type == "int" ? read.isInt64() && read.asInt64() == value.asInt64()
                        : std::isnan(number) ? read.isNull()
                                             : read.isDouble() && read.asDouble() == number;
  return readBack || FuzzInvariantBroken(kName, "the " + type + " value did not read back:\n" + written);
}

bool CheckEdidIds(const std::string& vidText, const std::string& pidText, uint16_t raw) {
  // Three letters survive in upper case; every stored vendor id keeps its
  // three 5-bit letters through decode and encode.
  const uint16_t vid = EncodeEdidVendorId(vidText);
  if (vidText.size() != 3 && vid != 0) return FuzzInvariantBroken(kName, "a vendor id not of three characters");
  std::string upper = vidText;
  bool letters = vidText.size() == 3;
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    letters = letters && c >= 'A' && c <= 'Z';
  }
  if (letters && DecodeEdidVendorId(vid) != upper)
    return FuzzInvariantBroken(kName, "vendor id '" + vidText + "' decodes as " + DecodeEdidVendorId(vid));
  // The letters take 15 bits; the unused one is bit 7 in the stored byte order.
  if (EncodeEdidVendorId(DecodeEdidVendorId(raw)) != (raw & 0xFF7F))
    return FuzzInvariantBroken(kName, "a stored vendor id does not survive decode and encode");

  // Product ids: refused with a message and zeroed, or at most four digits;
  // any stored id survives format and parse.
  int32_t pid = -7, back = -1;
  std::string error;
  const bool parsed = ParseEdidProductId(pidText, &pid, &error);
  if ((!parsed && (error.empty() || pid != 0)) || (parsed && pidText.size() <= 4 && (pid < -0xFFFF || pid > 0xFFFF)))
    return FuzzInvariantBroken(kName, "product id '" + pidText + "' refused without a message, or too large");
  if (!ParseEdidProductId(FormatEdidProductId(raw), &back, &error) || back != raw)
    return FuzzInvariantBroken(kName, "product id " + std::to_string(raw) + " does not survive format and parse");

  // Set as /SetDirectModeVidPid does, the ids survive a document round trip.
  TrackedDeviceConfig model, reloaded;
  std::string written;
  LoadFromString(&model, &error, kBase);
  if (!SetDirectModeIds(&model, vidText, pidText, true, &error)) return true;
  if (!WriteAndReload(&model, &reloaded, &written)) return false;
  if (reloaded.direct_mode_edid_vid != model.direct_mode_edid_vid ||
      reloaded.direct_mode_edid_pid != model.direct_mode_edid_pid)
    return FuzzInvariantBroken(kName, "direct-mode ids '" + vidText + "' '" + pidText + "' did not read back");
  return true;
}

}  // namespace

bool FuzzOne(const uint8_t* data, size_t size) {
  if (size == 0) return true;
  static const char* const kTypes[] = {"string", "float", "double", "int"};
  std::vector<std::string> fields;
  const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
  for (size_t start = 0; fields.size() < 5; start = std::min(text.size(), text.find('\0', start)) + 1) {
    fields.push_back(start > text.size() ? "" : text.substr(start, text.find('\0', start) - start));
  }
  const TypedElementEdit edit{fields[0], (data[0] & 4) != 0 ? fields[2] : kTypes[data[0] & 3], fields[1]};
  const uint16_t raw = size >= 3 ? static_cast<uint16_t>((data[1] << 8) | data[2]) : 0;
  return CheckValue(edit, (data[0] & 8) != 0) && CheckEdidIds(fields[3], fields[4], raw);
}

}  // namespace fuzz_typed_value
