// Identity, peripheral and audio members of the configuration document.
#include <string>

#include "devconfig/configsections.h"
#include "devconfig/jsonhelpers.h"

namespace configsections {

namespace {

const Json::Value kZero(0u);
const Json::Value kEmptyText("");

// The seven identity texts, written only when not empty.
struct TextMember {
  const char* name;
  std::string TrackedDeviceConfig::*field;
};
const TextMember kIdentityTexts[] = {
    {"device_serial_number", &TrackedDeviceConfig::device_serial_number},
    {"device_serial_number_sentinel", &TrackedDeviceConfig::device_serial_number_sentinel},
    {"render_model", &TrackedDeviceConfig::render_model},
    {"manufacturer", &TrackedDeviceConfig::manufacturer},
    {"model_number", &TrackedDeviceConfig::model_number},
    {"attached_device_id", &TrackedDeviceConfig::attached_device_id},
    {"required_peer_driver", &TrackedDeviceConfig::required_peer_driver},
};

std::string ReadText(const Json::Value& root, const char* name) { return JsonGet(root, name, kEmptyText).asString(); }

uint32_t ReadUnsigned(const Json::Value& root, const char* name) { return JsonGet(root, name, kZero).asUInt(); }

// USB ids are 16 bits wide; higher bits of the document's number are dropped.
uint16_t ReadUsbId(const Json::Value& root, const char* name) {
  return static_cast<uint16_t>(ReadUnsigned(root, name) & 0xFFFFu);
}

void WriteTextIfSet(const std::string& text, const char* name, Json::Value* root) {
  if (!text.empty()) (*root)[name] = text;
}

void ReadAudioDevice(const Json::Value& root, const char* prefix, uint16_t* vid, uint16_t* pid, std::string* name) {
  const std::string base(prefix);
  *vid = ReadUsbId(root, (base + "_vid").c_str());
  *pid = ReadUsbId(root, (base + "_pid").c_str());
  *name = ReadText(root, (base + "_name").c_str());
}

// The ids go out only as a pair; a device with one of them 0 is not named.
void WriteAudioDevice(const char* prefix, uint16_t vid, uint16_t pid, const std::string& name, Json::Value* root) {
  const std::string base(prefix);
  if (vid != 0 && pid != 0) {
    (*root)[base + "_vid"] = vid;
    (*root)[base + "_pid"] = pid;
  }
  if (!name.empty()) (*root)[base + "_name"] = name;
}

}  // namespace

void ReadIdentity(const Json::Value& root, TrackedDeviceConfig* config) {
  config->revision = ReadUnsigned(root, "revision");
  config->device_class = DeviceClassFromName(ReadText(root, "device_class"));
  config->device_vid = ReadUnsigned(root, "device_vid");
  config->device_pid = ReadUnsigned(root, "device_pid");
  for (const TextMember& member : kIdentityTexts) config->*member.field = ReadText(root, member.name);
}

void ReadDirectModeIds(const Json::Value& root, TrackedDeviceConfig* config) {
  const Json::Value& vid = JsonAt(root, "direct_mode_edid_vid");
  config->direct_mode_edid_vid =
      vid.isString() ? EncodeEdidVendorId(vid.asString()) : ReadUnsigned(root, "direct_mode_edid_vid");
  const Json::Value& pid = JsonAt(root, "direct_mode_edid_pid");
  if (pid.isString()) {
    // A text that is not a product id has been refused by the loader's
    // check; here it reads as unset.
    int32_t value = 0;
    std::string error;
    config->direct_mode_edid_pid = ParseEdidProductId(pid.asString(), &value, &error) ? static_cast<uint32_t>(value) : 0;
  } else {
    config->direct_mode_edid_pid = ReadUnsigned(root, "direct_mode_edid_pid");
  }
}

void ReadRoleAndResources(const Json::Value& root, TrackedDeviceConfig* config) {
  config->tracked_controller_role = ReadText(root, "tracked_controller_role");
  std::string resourceRoot = ReadText(root, "resource_root");
  // Byte by byte, ASCII only: the text may hold UTF-8 sequences.
  for (char& c : resourceRoot) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  config->resource_root = resourceRoot;
}

void ReadPeripherals(const Json::Value& root, TrackedDeviceConfig* config) {
  config->input_profile = ReadText(root, "input_profile");
  config->registered_device_type_prefix = ReadText(root, "registered_device_type_prefix");
  config->display_usb_protocol = ReadText(root, "display_usb_protocol");
  config->display_usb_vid = ReadUsbId(root, "display_usb_vid");
  config->display_usb_pid = ReadUsbId(root, "display_usb_pid");
}

void ReadAudioDevices(const Json::Value& root, TrackedDeviceConfig* config) {
  ReadAudioDevice(root, "audio_playback_device", &config->audio_playback_device_vid,
                  &config->audio_playback_device_pid, &config->audio_playback_device_name);
  ReadAudioDevice(root, "audio_recording_device", &config->audio_recording_device_vid,
                  &config->audio_recording_device_pid, &config->audio_recording_device_name);
}

void WriteIdentity(const TrackedDeviceConfig& config, Json::Value* root) {
  if (config.revision != 0) (*root)["revision"] = config.revision;
  (*root)["device_class"] = DeviceClassName(config.device_class);
  if (config.device_vid != 0) (*root)["device_vid"] = config.device_vid;
  if (config.device_pid != 0) (*root)["device_pid"] = config.device_pid;
  for (const TextMember& member : kIdentityTexts) WriteTextIfSet(config.*member.field, member.name, root);
}

void WriteDirectModeIds(const TrackedDeviceConfig& config, Json::Value* root) {
  // The legacy form keeps the raw numbers; later forms spell them out.
  const bool legacy = config.formatVersion == kFormatLegacy;
  if (config.direct_mode_edid_vid != 0) {
    (*root)["direct_mode_edid_vid"] =
        legacy ? Json::Value(config.direct_mode_edid_vid)
               : Json::Value(DecodeEdidVendorId(static_cast<uint16_t>(config.direct_mode_edid_vid & 0xFFFFu)));
  }
  if (config.direct_mode_edid_pid != 0) {
    (*root)["direct_mode_edid_pid"] =
        legacy ? Json::Value(config.direct_mode_edid_pid)
               : Json::Value(FormatEdidProductId(static_cast<int32_t>(config.direct_mode_edid_pid & 0xFFFFu)));
  }
}

void WriteRoleAndResources(const TrackedDeviceConfig& config, Json::Value* root) {
  WriteTextIfSet(config.tracked_controller_role, "tracked_controller_role", root);
  WriteTextIfSet(config.resource_root, "resource_root", root);
}

void WritePeripherals(const TrackedDeviceConfig& config, Json::Value* root) {
  WriteTextIfSet(config.input_profile, "input_profile", root);
  WriteTextIfSet(config.registered_device_type_prefix, "registered_device_type_prefix", root);
  // The display's USB ids only mean something together with its protocol.
  if (!config.display_usb_protocol.empty()) {
    (*root)["display_usb_protocol"] = config.display_usb_protocol;
    (*root)["display_usb_vid"] = config.display_usb_vid;
    (*root)["display_usb_pid"] = config.display_usb_pid;
  }
}

void WriteAudioDevices(const TrackedDeviceConfig& config, Json::Value* root) {
  WriteAudioDevice("audio_playback_device", config.audio_playback_device_vid, config.audio_playback_device_pid,
                   config.audio_playback_device_name, root);
  WriteAudioDevice("audio_recording_device", config.audio_recording_device_vid,
                   config.audio_recording_device_pid, config.audio_recording_device_name, root);
}

}  // namespace configsections
