// The typed, in-memory form of a tracked device's configuration document:
// one field for every member the system understands. Every document read
// becomes such a record and every document written is rebuilt from one, so
// members the record does not know are dropped on the way through.
#pragma once

#include <json/json.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "devconfig/deviceclass.h"
#include "devconfig/jsonhelpers.h"
#include "devconfig/pose.h"
#include "devconfig/sensor_model.h"
#include "devconfig/tracked_cameras.h"
#include "vantagelib/eye_transform.h"
#include "vantagelib/imu_calibration.h"
#include "vantagelib/isp_descriptor.h"
#include "vantagelib/stereo_setup.h"

// The written form of a document.
enum : uint32_t {
  kFormatLegacy = 0,     // IMU calibration at the top level, poses as seven numbers
  kFormatSectioned = 1,  // "imu" and "head" objects, EDID ids as texts
  kFormatLatest = 2,     // as sectioned, with camera poses as axes
};

// Two top-level members carried through verbatim, whatever they hold.
extern const char kObscuredBlockName1[];  // four characters
extern const char kObscuredBlockName2[];  // two characters

// Inter-pupillary distance settings, in metres ("ipd" holds millimetres).
struct IpdSettings {
  float min_step;  // negative: no step given
  float low;
  float high;
  bool enable;
  float default_ipd;
};

struct TrackedDeviceConfig {
  // Identity.
  TrackedDeviceClass device_class = TrackedDeviceClass::HMD;
  uint32_t formatVersion = kFormatLatest;
  uint32_t revision = 0;
  uint32_t device_vid = 0;
  uint32_t device_pid = 0;
  std::string device_serial_number;
  std::string device_serial_number_sentinel;  // main board
  std::string render_model;
  std::string manufacturer;
  std::string model_number;
  std::string attached_device_id;
  std::string required_peer_driver;

  // Display; written only for HMD.
  vantage::StereoSetup stereo_setup;  // "device"
  vantage::EyeTransform eye_transforms[2];  // "tracking_to_eye_transform", index = eye
  bool eye_transforms_present = false;      // whether the document had any
  bool parallel_render_cameras_present = false;
  bool parallel_render_cameras = false;
  std::string tracking_camera_intrinsics;  // written for every class
  uint32_t tracking_camera_unique_id = 0;      // written for every class
  std::string display_edid[2];             // index = eye
  uint32_t direct_mode_edid_vid = 0;           // EDID byte order
  uint32_t direct_mode_edid_pid = 0;
  float display_color_mult[2][3] = {{1.0f, 1.0f, 1.0f}, {1.0f, 1.0f, 1.0f}};  // r, g, b per element
  bool display_color_mult_present = false;
  float seconds_from_vsync_to_photons = 0.0f;
  float seconds_from_photons_to_vblank = 0.0f;
  float display_frequency = 90.0f;  // Hz
  bool display_hdr10 = false;
  bool display_multiframerate = false;
  bool display_frequency_present = false;
  int32_t display_mc_type = 0;
  float display_mc_offset = 0.0f;
  float display_mc_scale = 0.0f;
  std::string display_mc_left;
  std::string display_mc_right;
  float display_gc_black_clamp = 0.0f;
  int32_t display_gc_type = 0;
  float display_gc_offset = 0.0f;
  float display_gc_scale = 0.0f;
  float display_gc_prescale = 1.0f;
  std::string display_gc_image;
  uint32_t dsc_version = 0;
  uint32_t dsc_slices = 0;
  uint32_t dsc_bppx16 = 0;

  // Tracking.
  Pose trackref_from_imu = Pose::Identity();
  Pose trackref_from_head = Pose::Identity();
  vantage::ImuCalibration imu;
  bool imu_calibration_present = false;  // whether the document gave any of it
  SensorModel sensor_model;                  // "skybeacon_config"
  std::vector<vantage::IspDescriptor> isps;  // "isps"
  std::vector<TrackedCamera> tracked_cameras;  // "tracked_camera", "tracked_cameras" and older members
  std::string tracked_controller_role;
  std::string resource_root;  // lower case

  // Kept verbatim; null when absent.
  Json::Value firmware_config;
  Json::Value obscured_block1;  // under kObscuredBlockName1
  Json::Value obscured_block2;  // under kObscuredBlockName2

  // Other.
  uint32_t expected_bases = 2;        // HMD only
  uint32_t expected_controllers = 2;  // HMD only
  std::string input_profile;
  std::string registered_device_type_prefix;
  std::string display_usb_protocol;
  uint16_t display_usb_vid = 0;
  uint16_t display_usb_pid = 0;
  IpdSettings ipd = {-1.0f, 0.0f, 0.0f, false, 0.0f};  // HMD only
  bool ipd_present = false;  // "ipd" or "minimum_ipd_step"
  Json::Value mfg_build_info;  // kept verbatim; null when absent
  bool proximity_enable = false;       // HMD only
  bool proximity_present = false;
  uint16_t audio_playback_device_vid = 0;
  uint16_t audio_playback_device_pid = 0;
  std::string audio_playback_device_name;
  uint16_t audio_recording_device_vid = 0;
  uint16_t audio_recording_device_pid = 0;
  std::string audio_recording_device_name;
  bool eye_tracking_supported = false;

  // Back to the defaults above: the record of a run without any input.
  void Reset() { *this = TrackedDeviceConfig(); }
  // Reset, then fill from the document object. Absent or unconvertible
  // members take their defaults; sets formatVersion from the shape of the
  // document. Callers that may get a document of the wrong shape check it
  // first (ValidateConfigDocument, configloader.h).
  void FromJson(const Json::Value& root);
  // The same, keeping in `problem` the first section member found to be of
  // the wrong container kind inside (named in the text). The record is
  // filled all the same; a loader refuses such a document.
  void FromJson(const Json::Value& root, std::string* problem);
  // The same, moving the blocks kept verbatim (firmware_config and the like)
  // out of `root` instead of copying them, so that a large block is never
  // held twice. `root` is left without them.
  void TakeFromJson(Json::Value* root, std::string* problem);
  // The document for the current record in the form formatVersion selects.
  Json::Value ToJson() const;
  // The same without copies of the blocks kept verbatim: each block the
  // record holds is a null placeholder in the tree and is listed in
  // `blocks`, for WriteStyledJson to write in its place.
  Json::Value ToJson(std::vector<JsonMemberRef>* blocks) const;
};

// Calls `visit` for every eye from first_eye to last_eye that the record can
// hold (0 and 1), with the element of the per-eye arrays that belongs to it.
// Eyes without a name (below 0) take no element, so writing and reading
// back agree.
void ForEachDocumentEye(const vantage::StereoSetup& setup,
                        const std::function<void(int eye, Json::ArrayIndex element)>& visit);
