// The steps of TrackedDeviceConfig::FromJson and ToJson, one group of
// members each. Only trackeddeviceconfig.cc calls them, in document order.
#pragma once

#include <json/json.h>

#include <string>

#include "devconfig/trackeddeviceconfig.h"

namespace configsections {

// Identity and device-level members (config_identity.cc).
void ReadIdentity(const Json::Value& root, TrackedDeviceConfig* config);
void ReadDirectModeIds(const Json::Value& root, TrackedDeviceConfig* config);
void ReadRoleAndResources(const Json::Value& root, TrackedDeviceConfig* config);
void ReadPeripherals(const Json::Value& root, TrackedDeviceConfig* config);
void ReadAudioDevices(const Json::Value& root, TrackedDeviceConfig* config);
void WriteIdentity(const TrackedDeviceConfig& config, Json::Value* root);
void WriteDirectModeIds(const TrackedDeviceConfig& config, Json::Value* root);
void WriteRoleAndResources(const TrackedDeviceConfig& config, Json::Value* root);
void WritePeripherals(const TrackedDeviceConfig& config, Json::Value* root);
void WriteAudioDevices(const TrackedDeviceConfig& config, Json::Value* root);

// Display members (config_display.cc).
void ReadDisplayTiming(const Json::Value& root, TrackedDeviceConfig* config);
void ReadDisplayEdids(const Json::Value& root, TrackedDeviceConfig* config);
void ReadColorMultipliers(const Json::Value& root, TrackedDeviceConfig* config);
void ReadDisplayCorrection(const Json::Value& root, TrackedDeviceConfig* config);
void ReadDscAndTrackingCamera(const Json::Value& root, TrackedDeviceConfig* config);
void ReadParallelRenderCameras(const Json::Value& root, TrackedDeviceConfig* config);
void ReadExpectedCounts(const Json::Value& root, TrackedDeviceConfig* config);
void ReadIpd(const Json::Value& root, TrackedDeviceConfig* config);
void ReadProximity(const Json::Value& root, TrackedDeviceConfig* config);
void WriteDisplayEdids(const TrackedDeviceConfig& config, Json::Value* root);
void WriteDisplayCorrection(const TrackedDeviceConfig& config, Json::Value* root);
void WriteDsc(const TrackedDeviceConfig& config, Json::Value* root);
void WriteColorAndTiming(const TrackedDeviceConfig& config, Json::Value* root);
void WriteExpectedCounts(const TrackedDeviceConfig& config, Json::Value* root);
void WriteIpd(const TrackedDeviceConfig& config, Json::Value* root);
void WriteProximityAndParallel(const TrackedDeviceConfig& config, Json::Value* root);
void WriteTrackingCamera(const TrackedDeviceConfig& config, Json::Value* root);

// Calibration sections with codecs of their own: eye transforms, sensor
// model, cameras and image-processing devices (config_calibration.cc). The
// readers keep the first member of the wrong container kind in `problem`.
void ReadEyeTransforms(const Json::Value& root, TrackedDeviceConfig* config, std::string* problem);
void ReadSensorModelMember(const Json::Value& root, TrackedDeviceConfig* config);
void WriteEyeTransforms(const TrackedDeviceConfig& config, Json::Value* root);
void WriteSensorModelMember(const TrackedDeviceConfig& config, Json::Value* root);

// Poses and IMU calibration in the legacy and sectioned forms (config_tracking.cc).
void ReadPosesAndImu(const Json::Value& root, TrackedDeviceConfig* config);
void WritePosesAndImu(const TrackedDeviceConfig& config, Json::Value* root);

}  // namespace configsections
