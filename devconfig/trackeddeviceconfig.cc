#include "devconfig/trackeddeviceconfig.h"

#include <algorithm>
#include <utility>

#include "devconfig/configsections.h"
#include "devconfig/jsonhelpers.h"

using namespace configsections;

const char kObscuredBlockName1[] = "vblk";
const char kObscuredBlockName2[] = "vb";

void TrackedDeviceConfig::Reset() {
  device_class = TrackedDeviceClass::HMD;
  formatVersion = kFormatLatest;
  revision = 0;
  device_vid = 0;
  device_pid = 0;
  device_serial_number.clear();
  device_serial_number_sentinel.clear();
  render_model.clear();
  manufacturer.clear();
  model_number.clear();
  attached_device_id.clear();
  required_peer_driver.clear();

  stereo_setup.Reset();
  eye_transforms[0].Reset();
  eye_transforms[1].Reset();
  parallel_render_cameras_present = false;
  parallel_render_cameras = false;
  tracking_camera_intrinsics.clear();
  tracking_camera_unique_id = 0;
  display_edid[0].clear();
  display_edid[1].clear();
  direct_mode_edid_vid = 0;
  direct_mode_edid_pid = 0;
  for (float* rgb : display_color_mult) rgb[0] = rgb[1] = rgb[2] = 1.0f;
  display_color_mult_present = false;
  seconds_from_vsync_to_photons = 0.0f;
  seconds_from_photons_to_vblank = 0.0f;
  display_frequency = 90.0f;
  display_hdr10 = false;
  display_multiframerate = false;
  display_frequency_present = false;
  display_mc_type = 0;
  display_mc_offset = 0.0f;
  display_mc_scale = 0.0f;
  display_mc_left.clear();
  display_mc_right.clear();
  display_gc_black_clamp = 0.0f;
  display_gc_type = 0;
  display_gc_offset = 0.0f;
  display_gc_scale = 0.0f;
  display_gc_prescale = 1.0f;
  display_gc_image.clear();
  dsc_version = 0;
  dsc_slices = 0;
  dsc_bppx16 = 0;

  trackref_from_imu = Pose::Identity();
  trackref_from_head = Pose::Identity();
  imu.Reset();
  ResetSensorModel(&sensor_model);
  isps.clear();
  tracked_cameras.clear();
  tracked_controller_role.clear();
  resource_root.clear();

  firmware_config = Json::Value();
  obscured_block1 = Json::Value();
  obscured_block2 = Json::Value();

  expected_bases = 2;
  expected_controllers = 2;
  input_profile.clear();
  registered_device_type_prefix.clear();
  display_usb_protocol.clear();
  display_usb_vid = 0;
  display_usb_pid = 0;
  ipd = IpdSettings{-1.0f, 0.0f, 0.0f, false, 0.0f};
  mfg_build_info = Json::Value();
  proximity_enable = false;
  proximity_present = false;
  audio_playback_device_vid = 0;
  audio_playback_device_pid = 0;
  audio_playback_device_name.clear();
  audio_recording_device_vid = 0;
  audio_recording_device_pid = 0;
  audio_recording_device_name.clear();
  eye_tracking_supported = false;
}

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
  config->stereo_setup.FromJson(JsonAt(root, "device"));
  ReadDisplayEdids(root, config);
  ReadColorMultipliers(root, config);
  ReadDisplayCorrection(root, config);
  ReadDscAndTrackingCamera(root, config);
  ReadEyeTransforms(root, config, problem);
  ReadParallelRenderCameras(root, config);
  ReadPosesAndImu(root, config);
  ReadSensorModelMember(root, config);
  ReadCameras(config, root, problem);
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
    Json::Value device(Json::objectValue);
    stereo_setup.ToJson(&device);
    root["device"] = std::move(device);
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
