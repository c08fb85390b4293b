// Any text through the document loader and writer. A loaded text, once
// written, must load again; after that first write the document must be a
// fixed point: loading it and writing it again gives the same text, in the
// form the document was read in (/NoReformat) and in the latest form (every
// other run), and it reads back in the form it was written in. The first
// write may settle what the document said: an empty sensor model goes out
// as null, which reads as absent, and a colour distortion block left out as
// equal to the base reads back as the default.
#include <string>

#include "devconfig/configloader.h"
#include "fuzz/fuzz_harnesses.h"

namespace fuzz_document {

namespace {

const char kName[] = "document";

// Only a top-level member counts: the written layout indents it by three.
bool HasTopLevelMember(const std::string& text, const char* name) {
  return text.find(std::string("\n   \"") + name + "\" : ") != std::string::npos;
}

// Writes `model`, loads the text back and writes that again, in the same
// form; then checks that the form read back from the shape of the text is
// the one it was written in.
bool CheckFixedPoint(const TrackedDeviceConfig& model, bool latest) {
  const char* form = latest ? "latest" : "loaded";
  const std::string first = ToJsonString(model, false);
  if (first.empty() || first.back() != '\n' || (first.size() > 1 && first[first.size() - 2] == '\n'))
    return FuzzInvariantBroken(kName, "the written text does not end with exactly one line end");
  TrackedDeviceConfig reloaded;
  std::string error;
  if (!LoadFromString(&reloaded, &error, first))
    return FuzzInvariantBroken(kName, "a written document does not load: " + error + "\n" + first);
  const uint32_t detectedForm = reloaded.formatVersion;
  reloaded.formatVersion = model.formatVersion;
  const std::string second = ToJsonString(reloaded, false);
  if (!SameDocumentText(first, second)) {
    return FuzzInvariantBroken(kName, std::string(form) + " form is not a fixed point:\n--- first\n" + first +
                                          "--- second\n" + second);
  }
  if (latest || detectedForm == model.formatVersion)
    return true;
  // Known and left alone: the form is read from the shape ("imu" or "head"
  // make it sectioned), and the sectioned form leaves both out when the IMU
  // calibration is the default and the poses are the identity. Such a
  // document reads back as legacy, so a second /NoReformat run writes the
  // legacy form. Any other change of form is a finding.
  if (model.formatVersion != kFormatLegacy && detectedForm == kFormatLegacy && !HasTopLevelMember(first, "imu") &&
      !HasTopLevelMember(first, "head"))
    return true;
  reloaded.formatVersion = detectedForm;
  if (ToJsonString(reloaded, false) == first)
    return true;
  return FuzzInvariantBroken(kName, "written in form " + std::to_string(model.formatVersion) + ", read back as form " +
                                        std::to_string(detectedForm) + ":\n" + first);
}

}  // namespace

bool FuzzOne(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  TrackedDeviceConfig model;
  std::string error = "stale";
  if (!LoadFromString(&model, &error, text)) {
    if (error.empty() || error == "stale")
      return FuzzInvariantBroken(kName, "a refused document has no error text");
    return true;
  }
  if (!error.empty())
    return FuzzInvariantBroken(kName, "a loaded document left an error text: " + error);

  // The raised revision is the model's plus one, modulo 2^32, in every output.
  const std::string raised = ToJsonString(model, true);
  TrackedDeviceConfig raisedModel;
  if (!LoadFromString(&raisedModel, &error, raised))
    return FuzzInvariantBroken(kName, "the raised document does not load: " + error);
  if (raisedModel.revision != static_cast<uint32_t>(model.revision + 1u))
    return FuzzInvariantBroken(kName, "the revision did not rise by one");

  for (bool latest : {false, true}) {
    if (latest) ReformatToLatest(&model);
    const std::string written = ToJsonString(model, false);
    TrackedDeviceConfig settled;
    if (!LoadFromString(&settled, &error, written))
      return FuzzInvariantBroken(kName, "a written document does not load: " + error + "\n" + written);
    settled.formatVersion = model.formatVersion;
    if (!CheckFixedPoint(settled, latest)) return false;
  }
  return true;
}

}  // namespace fuzz_document
