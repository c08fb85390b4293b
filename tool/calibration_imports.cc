#include "tool/calibration_imports.h"

#include <string>

#include "devconfig/configloader.h"
#include "tool/progress.h"

namespace {

using vantage::EyeTransform;

// What an import takes from its file, and how to tell the file has some.
struct Part {
  const char* description;
  bool (*heldBy)(const TrackedDeviceConfig& config);
};

const Part kSensorPart = {"sensor calibration (\"skybeacon_config\" with \"modelPoints\" and \"modelNormals\")",
                          [](const TrackedDeviceConfig& c) { return c.sensor_model.present; }};
const Part kIpdPart = {"ipd calibration (\"ipd\" or \"minimum_ipd_step\")",
                       [](const TrackedDeviceConfig& c) { return c.ipd_present; }};
const Part kImuPart = {"imu calibration (\"gyro_bias\", \"gyro_scale\", \"acc_bias\" or \"acc_scale\" in \"imu\", "
                       "or \"gyro_bias\" at the top level)",
                       [](const TrackedDeviceConfig& c) { return c.imu_calibration_present; }};
const Part kCameraPart = {"camera calibration (\"tracked_camera\", \"tracked_camera1\", \"second_tracked_camera\" "
                          "or \"tracked_cameras\")",
                          [](const TrackedDeviceConfig& c) { return !c.tracked_cameras.empty(); }};
// Either eye will do: an import of both eyes from a file with one is real,
// partial data, and copies the other eye's defaults as it always did.
const Part kLensPart = {"lens calibration (\"tracking_to_eye_transform\")",
                        [](const TrackedDeviceConfig& c) { return c.eye_transforms_present; }};

struct ImportRun {
  bool quiet;
  TrackedDeviceConfig* config;

  // Loads `path` into a fresh temporary configuration; on failure prints
  // the load error and returns false.
  bool Load(const std::string& path, TrackedDeviceConfig* temp) const {
    std::string error;
    if (LoadFromFile(temp, &error, path)) return true;
    PrintInEveryMode("Error reading '%s': Error: %s\n", path.c_str(), error.c_str());
    return false;
  }

  // The common shape of an import: given, loaded, checked to hold what it
  // imports (copying nothing would empty the section), announced, copied.
  template <typename Copy>
  bool Import(const std::string& path, const char* message, const Part& part, Copy copy) const {
    if (path.empty()) return true;
    TrackedDeviceConfig temp;
    if (!Load(path, &temp)) return false;
    if (!part.heldBy(temp)) {
      PrintInEveryMode("Error reading '%s': Error: it holds no %s\n", path.c_str(), part.description);
      return false;
    }
    PrintProgress(quiet, message, path.c_str());
    copy(temp);
    return true;
  }
};

void CopyCenter(const vantage::DistortionParams& from, vantage::DistortionParams* to) {
  to->center_x = from.center_x;
  to->center_y = from.center_y;
}

bool LensSanityCheck(const ImportRun& run) {
  bool passed = true;
  for (int eye = 0; eye < 2; ++eye) {
    if (vantage::IsEyeCalibrated(run.config->eye_transforms[eye])) continue;
    PrintInEveryMode("ERROR: Eye %d appears to not be calibrated!\n", eye);
    passed = false;
  }
  if (passed) PrintProgress(run.quiet, "Passed SanityCheckLensCal\n");
  return passed;
}

}  // namespace

void CopyLensIntrinsics(const EyeTransform& from, EyeTransform* to) {
  to->intrinsics = from.intrinsics;
  to->distortion = from.distortion;
  to->distortion_red = from.distortion_red;
  to->distortion_blue = from.distortion_blue;
  to->inverse_distortion = from.inverse_distortion;
  to->undistort_r2_cutoff = from.undistort_r2_cutoff;
}

void CopyLensCentering(const EyeTransform& from, EyeTransform* to) {
  for (int row = 0; row < 3; ++row) to->intrinsics.m[row][2] = from.intrinsics.m[row][2];
  CopyCenter(from.distortion, &to->distortion);
  CopyCenter(from.distortion_red, &to->distortion_red);
  CopyCenter(from.distortion_blue, &to->distortion_blue);
}

void CopyEyeToHead(const EyeTransform& from, EyeTransform* to) { to->eye_to_head = from.eye_to_head; }

bool ApplyCalibrationImports(const ToolOptions& o, bool quiet, TrackedDeviceConfig* config) {
  const ImportRun run{quiet, config};
  EyeTransform* eyes = config->eye_transforms;

  if (!run.Import(o.sensorCalFile, "Sensor cal file: '%s'\n", kSensorPart,
                  [&](const TrackedDeviceConfig& t) { config->sensor_model = t.sensor_model; }))
    return false;
  if (!run.Import(o.ipdCalFile, "ipd cal file: '%s'\n", kIpdPart,
                  [&](const TrackedDeviceConfig& t) { config->ipd = t.ipd; }))
    return false;
  if (!run.Import(o.imuCalFile, "IMU calibration: '%s'\n", kImuPart,
                  [&](const TrackedDeviceConfig& t) { config->imu = t.imu; }))
    return false;
  if (!run.Import(o.cameraCalFile, "Camera calibration: '%s'\n", kCameraPart, [&](const TrackedDeviceConfig& t) {
        config->tracked_cameras = t.tracked_cameras;
        config->isps = t.isps;
      }))
    return false;

  if (!run.Import(o.lensCalFile, "Lens cal file: '%s'\n", kLensPart, [&](const TrackedDeviceConfig& t) {
        eyes[0] = t.eye_transforms[0];
        eyes[1] = t.eye_transforms[1];
      }))
    return false;

  // Serial numbers of the panels outrank both whole-lens imports: a run that
  // names the panels does not touch their lens data.
  if (!o.displaySerialLeft.empty() || !o.displaySerialRight.empty()) {
    PrintProgress(run.quiet, "Display Serial Numbers: Left='%s', Right='%s'\n", o.displaySerialLeft.c_str(),
                  o.displaySerialRight.c_str());
    eyes[0].display_serial_number = o.displaySerialLeft;
    eyes[1].display_serial_number = o.displaySerialRight;
  } else if (!o.lensIntrinsicsFile.empty()) {
    if (!run.Import(o.lensIntrinsicsFile, "Lens intrinsics file: '%s'\n", kLensPart, [&](const TrackedDeviceConfig& t) {
          CopyLensIntrinsics(t.eye_transforms[0], &eyes[0]);
          CopyLensIntrinsics(t.eye_transforms[1], &eyes[1]);
        }))
      return false;
  } else if (!run.Import(o.lensCenteringFile, "Lens centering file: '%s'\n", kLensPart,
                         [&](const TrackedDeviceConfig& t) {
                           CopyLensCentering(t.eye_transforms[0], &eyes[0]);
                           CopyLensCentering(t.eye_transforms[1], &eyes[1]);
                         })) {
    return false;
  }

  if (!run.Import(o.lensIntrinsicsLeftFile, "Lens intrinsics file (LEFT): '%s'\n", kLensPart,
                  [&](const TrackedDeviceConfig& t) { CopyLensIntrinsics(t.eye_transforms[0], &eyes[0]); }))
    return false;
  if (!run.Import(o.lensIntrinsicsRightFile, "Lens intrinsics file (RIGHT): '%s'\n", kLensPart,
                  [&](const TrackedDeviceConfig& t) { CopyLensIntrinsics(t.eye_transforms[1], &eyes[1]); }))
    return false;

  if (!run.Import(o.lensEyeToHeadFile, "Eye To Head file: '%s'\n", kLensPart, [&](const TrackedDeviceConfig& t) {
        CopyEyeToHead(t.eye_transforms[0], &eyes[0]);
        CopyEyeToHead(t.eye_transforms[1], &eyes[1]);
      }))
    return false;
  if (!run.Import(o.lensEyeToHeadLeftFile, "Eye To Head file: '%s'\n", kLensPart,
                  [&](const TrackedDeviceConfig& t) { CopyEyeToHead(t.eye_transforms[0], &eyes[0]); }))
    return false;
  if (!run.Import(o.lensEyeToHeadRightFile, "Eye To Head file: '%s'\n", kLensPart,
                  [&](const TrackedDeviceConfig& t) { CopyEyeToHead(t.eye_transforms[1], &eyes[1]); }))
    return false;

  return !o.sanityCheckLensCal || LensSanityCheck(run);
}

StepResult ImportCalibration(RunContext& run) {
  return ApplyCalibrationImports(run.options, run.quiet, &run.config) ? StepResult::kContinue
                                                                                : StepResult::kExitFailure;
}
