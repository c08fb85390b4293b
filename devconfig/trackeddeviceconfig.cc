#include "devconfig/trackeddeviceconfig.h"

#include <algorithm>
#include <utility>

#include "devconfig/configsections.h"
#include "devconfig/jsonhelpers.h"

using namespace configsections;

const char kObscuredBlockName1[] = "vblk";
const char kObscuredBlockName2[] = "vb";

void TrackedDeviceConfig::FromJson(const Json::Value& root) {
  std::string ignored;
  FromJson(root, &ignored);
}

namespace {

// The top-level blocks the record keeps verbatim, whatever they hold.
struct VerbatimBlock {
  const char* name;
  Json::Value TrackedDeviceConfig::*field;
};
const VerbatimBlock kVerbatimBlocks[] = {
    {"firmware_config", &TrackedDeviceConfig::firmware_config},
    {kObscuredBlockName1, &TrackedDeviceConfig::obscured_block1},
    {kObscuredBlockName2, &TrackedDeviceConfig::obscured_block2},
    {"mfg_build_info", &TrackedDeviceConfig::mfg_build_info},
};

// Everything but the verbatim blocks.
void ReadSections(const Json::Value& root, TrackedDeviceConfig* config, std::string* problem) {
  problem->clear();
  config->Reset();
  ReadIdentity(root, config);
  ReadDirectModeIds(root, config);
  ReadDisplayTiming(root, config);
  vantage::FromJson(JsonAt(root, "device"), &config->stereo_setup, nullptr);
  ReadDisplayEdids(root, config);
  ReadColorMultipliers(root, config);
  ReadDisplayCorrection(root, config);
  ReadDscAndTrackingCamera(root, config);
  ReadEyeTransforms(root, config, problem);
  ReadParallelRenderCameras(root, config);
  ReadPosesAndImu(root, config);
  ReadSensorModelMember(root, config);
  ReadCameras(root, config, problem);
  ReadRoleAndResources(root, config);
  ReadExpectedCounts(root, config);
  ReadPeripherals(root, config);
  ReadIpd(root, config);
  ReadProximity(root, config);
  ReadAudioDevices(root, config);
  config->eye_tracking_supported =
      JsonGet(JsonAt(root, "eye_tracking"), "supported", Json::Value(false)).asBool();
}

}  // namespace

void TrackedDeviceConfig::FromJson(const Json::Value& root, std::string* problem) {
  ReadSections(root, this, problem);
  for (const VerbatimBlock& block : kVerbatimBlocks) this->*block.field = JsonAt(root, block.name);
}

void TrackedDeviceConfig::TakeFromJson(Json::Value* root, std::string* problem) {
  ReadSections(*root, this, problem);
  // removeMember answers false, touching nothing, on a value that is not an object.
  for (const VerbatimBlock& block : kVerbatimBlocks) {
    Json::Value& field = this->*block.field;
    if (!root->removeMember(block.name, &field)) field = Json::Value();
  }
}

Json::Value TrackedDeviceConfig::ToJson() const {
  std::vector<JsonMemberRef> blocks;
  Json::Value root = ToJson(&blocks);
  for (const JsonMemberRef& block : blocks) root[block.name] = *block.value;
  return root;
}

Json::Value TrackedDeviceConfig::ToJson(std::vector<JsonMemberRef>* blocks) const {
  blocks->clear();
  Json::Value root(Json::objectValue);
  WriteIdentity(*this, &root);
  if (device_class == TrackedDeviceClass::HMD) {
    root["device"] = vantage::ToJson(stereo_setup);
    WriteDisplayEdids(*this, &root);
    WriteDisplayCorrection(*this, &root);
    WriteDsc(*this, &root);
    WriteEyeTransforms(*this, &root);
    WriteDirectModeIds(*this, &root);
    WriteColorAndTiming(*this, &root);
    WriteExpectedCounts(*this, &root);
    WriteIpd(*this, &root);
    WriteProximityAndParallel(*this, &root);
  }
  WriteTrackingCamera(*this, &root);
  WritePosesAndImu(*this, &root);
  WriteSensorModelMember(*this, &root);
  WriteCameras(*this, &root);
  WriteRoleAndResources(*this, &root);
  WritePeripherals(*this, &root);
  WriteAudioDevices(*this, &root);
  if (eye_tracking_supported) root["eye_tracking"]["supported"] = true;
  for (const VerbatimBlock& block : kVerbatimBlocks) {
    const Json::Value& value = this->*block.field;
    if (value.isNull()) continue;
    root[block.name] = Json::Value();
    blocks->push_back(JsonMemberRef{block.name, &value});
  }
  return root;
}

void ForEachDocumentEye(const vantage::StereoSetup& setup,
                        const std::function<void(int eye, Json::ArrayIndex element)>& visit) {
  // Only eyes 0 and 1 have storage; the range is clamped so that a caller's
  // odd first_eye or last_eye never makes a long loop or a sparse array.
  const int first = std::max<int>(setup.first_eye, 0);
  const int last = std::min<int>(setup.last_eye, 1);
  for (int eye = first; eye <= last; ++eye) visit(eye, static_cast<Json::ArrayIndex>(eye - first));
}
