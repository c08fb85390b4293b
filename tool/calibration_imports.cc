#include "tool/calibration_imports.h"

#include <string>

#include "devconfig/configloader.h"
#include "tool/progress.h"

namespace {

using vantage::EyeTransform;

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

  // The common shape of an import: given, loaded, announced, copied.
  template <typename Copy>
  bool Import(const std::string& path, const char* message, Copy copy) const {
    if (path.empty()) return true;
    TrackedDeviceConfig temp;
    if (!Load(path, &temp)) return false;
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

  if (!o.sensorCalFile.empty()) {
    TrackedDeviceConfig temp;
    if (!run.Load(o.sensorCalFile, &temp)) return false;
    // A document without a sensor model would wipe the one the headset is
    // tracked by: refused rather than copied.
    if (!temp.sensor_model.present) {
      PrintInEveryMode("Error reading '%s': Error: it holds no sensor calibration (\"skybeacon_config\" with "
                       "\"modelPoints\" and \"modelNormals\")\n",
                       o.sensorCalFile.c_str());
      return false;
    }
    PrintProgress(quiet, "Sensor cal file: '%s'\n", o.sensorCalFile.c_str());
    config->sensor_model = temp.sensor_model;
  }
  if (!run.Import(o.ipdCalFile, "ipd cal file: '%s'\n", [&](const TrackedDeviceConfig& t) { config->ipd = t.ipd; }))
    return false;
  if (!run.Import(o.imuCalFile, "IMU calibration: '%s'\n", [&](const TrackedDeviceConfig& t) { config->imu = t.imu; }))
    return false;
  if (!run.Import(o.cameraCalFile, "Camera calibration: '%s'\n", [&](const TrackedDeviceConfig& t) {
        config->tracked_cameras = t.tracked_cameras;
        config->isps = t.isps;
      }))
    return false;

  if (!run.Import(o.lensCalFile, "Lens cal file: '%s'\n", [&](const TrackedDeviceConfig& t) {
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
    if (!run.Import(o.lensIntrinsicsFile, "Lens intrinsics file: '%s'\n", [&](const TrackedDeviceConfig& t) {
          CopyLensIntrinsics(t.eye_transforms[0], &eyes[0]);
          CopyLensIntrinsics(t.eye_transforms[1], &eyes[1]);
        }))
      return false;
  } else if (!run.Import(o.lensCenteringFile, "Lens centering file: '%s'\n", [&](const TrackedDeviceConfig& t) {
               CopyLensCentering(t.eye_transforms[0], &eyes[0]);
               CopyLensCentering(t.eye_transforms[1], &eyes[1]);
             })) {
    return false;
  }

  if (!run.Import(o.lensIntrinsicsLeftFile, "Lens intrinsics file (LEFT): '%s'\n",
                  [&](const TrackedDeviceConfig& t) { CopyLensIntrinsics(t.eye_transforms[0], &eyes[0]); }))
    return false;
  if (!run.Import(o.lensIntrinsicsRightFile, "Lens intrinsics file (RIGHT): '%s'\n",
                  [&](const TrackedDeviceConfig& t) { CopyLensIntrinsics(t.eye_transforms[1], &eyes[1]); }))
    return false;

  if (!run.Import(o.lensEyeToHeadFile, "Eye To Head file: '%s'\n", [&](const TrackedDeviceConfig& t) {
        CopyEyeToHead(t.eye_transforms[0], &eyes[0]);
        CopyEyeToHead(t.eye_transforms[1], &eyes[1]);
      }))
    return false;
  if (!run.Import(o.lensEyeToHeadLeftFile, "Eye To Head file: '%s'\n",
                  [&](const TrackedDeviceConfig& t) { CopyEyeToHead(t.eye_transforms[0], &eyes[0]); }))
    return false;
  if (!run.Import(o.lensEyeToHeadRightFile, "Eye To Head file: '%s'\n",
                  [&](const TrackedDeviceConfig& t) { CopyEyeToHead(t.eye_transforms[1], &eyes[1]); }))
    return false;

  return !o.sanityCheckLensCal || LensSanityCheck(run);
}

StepResult ImportCalibration(RunContext& run) {
  return ApplyCalibrationImports(run.options, run.quiet, &run.config) ? StepResult::kContinue
                                                                                : StepResult::kExitFailure;
}
