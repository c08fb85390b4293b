// Every calibration section reader survives every document of the public
// JSON corpus, whether given the document itself or under each of its keys.
#include <gtest/gtest.h>

#include <filesystem>

#include "corelib/src/pathtools.h"
#include "devconfig/jsonhelpers.h"
#include "vantagelib/camera_intrinsics.h"
#include "vantagelib/eye_transform.h"
#include "vantagelib/isp_descriptor.h"

using namespace vantage;

namespace {

void ReadAndWriteEverySection(const Json::Value& value) {
  std::string error;
  DistortionParams block;
  FromJson(value, &block, &error);
  WriteStyledJson(ToJson(block));
  EyeTransform eye;
  FromJson(value, &eye, &error);
  WriteStyledJson(ToJson(eye));
  CameraIntrinsics intrinsics;
  FromJson(value, &intrinsics, &error);
  WriteStyledJson(ToJson(intrinsics));
  IspDescriptor isp;
  FromJson(value, &isp, &error);
  WriteStyledJson(ToJson(isp));
}

}  // namespace

TEST(SectionCorpus, EveryDocumentReadsAndWritesWithoutFault) {
  const std::filesystem::path root = std::filesystem::path(SB_CORPUS_DIR) / "jsontestsuite";
  if (!std::filesystem::is_directory(root))
    GTEST_SKIP() << "corpus not found at " << root;
  const char* const keys[] = {
      "type", "r2max", "nSplineCtrlPts", "center_x", "center_y", "coeffs", "display_serial_number", "intrinsics",
      "distortion", "distortion_red", "distortion_blue", "inverse_distortion", "undistort_r2_cutoff",
      "grow_for_undistort", "eye_to_head", "scanout_scaling", "base", "red_src", "red_dest", "blue_src",
      "blue_dest", "interface", "width", "height", "undist_width", "undist_height", "focal_x", "focal_y",
      "distort", "driver", "usbVID", "usbPID", "streams",
  };
  int parsed = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
    Json::Value document;
    std::string error;
    if (!entry.is_regular_file() || entry.path().extension() != ".json" ||
        !ParseJsonText(corelib::ReadTextFile(entry.path().string()), &document, &error))
      continue;
    ++parsed;
    SCOPED_TRACE(entry.path().string());
    ReadAndWriteEverySection(document);
    Json::Value everywhere(Json::objectValue);
    for (const char* key : keys)
      everywhere[key] = document;
    ReadAndWriteEverySection(everywhere);
    Json::Value nested(Json::objectValue);
    nested["scanout_scaling"] = everywhere;
    nested["distortion"] = everywhere;
    ReadAndWriteEverySection(nested);
  }
  EXPECT_GT(parsed, 100);
}
