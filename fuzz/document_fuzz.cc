// Any text through the document loader and writer. Once a text has loaded
// and been written, the written document must be a fixed point: loading it
// and writing it again gives the same text, in the form the document was
// read in (/NoReformat) and in the latest form (every other run).
#include <string>

#include "devconfig/configloader.h"
#include "fuzz/fuzz_harnesses.h"

namespace fuzz_document {

namespace {

const char kName[] = "document";

// Writes `model` (optionally in the latest form), loads the text back and
// writes that again.
bool CheckFixedPoint(const TrackedDeviceConfig& model, bool latest) {
  const std::string first = ToJsonString(model, false);
  if (first.empty() || first.back() != '\n' || (first.size() > 1 && first[first.size() - 2] == '\n'))
    return FuzzInvariantBroken(kName, "the written text does not end with exactly one line end");
  TrackedDeviceConfig reloaded;
  std::string error;
  if (!LoadFromString(&reloaded, &error, first))
    return FuzzInvariantBroken(kName, "a written document does not load: " + error + "\n" + first);
  if (latest)
    ReformatToLatest(&reloaded);
  const std::string second = ToJsonString(reloaded, false);
  if (!SameDocumentText(first, second)) {
    return FuzzInvariantBroken(kName, std::string(latest ? "latest" : "loaded") +
                                          " form is not a fixed point:\n--- first\n" + first +
                                          "--- second\n" + second);
  }
  return true;
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

  if (!CheckFixedPoint(model, false))
    return false;
  ReformatToLatest(&model);
  return CheckFixedPoint(model, true);
}

}  // namespace fuzz_document
