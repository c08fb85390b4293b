// Distortion blocks: type names, the JSON form, and the lens models.
#include "vantagelib/distortion.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "corelib/src/logchannel.h"
#include "devconfig/jsonhelpers.h"

using namespace vantage;

namespace {

Json::Value Parse(const std::string& text) {
  Json::Value root;
  std::string error;
  EXPECT_TRUE(ParseJsonText(text, &root, &error)) << error;
  return root;
}

DistortionParams Read(const std::string& text) {
  DistortionParams block;
  std::string error;
  EXPECT_TRUE(FromJson(Parse(text), &block, &error)) << error;
  return block;
}

std::string Written(const DistortionParams& block) { return WriteStyledJson(ToJson(block)); }

DistortionParams Block(Distortion_Type type, std::vector<double> coeffs) {
  DistortionParams block;
  block.type = type;
  for (size_t i = 0; i < coeffs.size(); ++i)
    block.coeffs[i] = coeffs[i];
  return block;
}

void ExpectDistorts(const DistortionParams& block, float x, float y, double ex, double ey) {
  float px = x, py = y;
  DistortPoint(block, &px, &py);
  EXPECT_NEAR(ex, px, 1e-5 * std::max(1.0, std::fabs(ex)))
      << DistortionTypeName(block.type) << " x of (" << x << ", " << y << ")";
  EXPECT_NEAR(ey, py, 1e-5 * std::max(1.0, std::fabs(ey)))
      << DistortionTypeName(block.type) << " y of (" << x << ", " << y << ")";
}

// Collects assertion messages while it lives.
struct AssertCatcher {
  std::vector<std::string> messages;
  std::vector<std::string> files;
  corelib::CAssertListener listener{
      [this](const char* message, const char* file, int, bool, bool*, void*) {
        messages.push_back(message);
        files.push_back(file);
      },
      nullptr};
  AssertCatcher() { corelib::AddAssertListener(&listener); }
  ~AssertCatcher() { corelib::RemoveAssertListener(&listener); }
};

const char* const kNames[] = {
    "DISTORT_NONE", "DISTORT_POLY2_TANGENT", "DISTORT_POLY3_TANGENT",
    "DISTORT_POLY3_TANGENT_SCALED", "DISTORT_POLY2", "DISTORT_POLY3", "DISTORT_FOV1",
    "DISTORT_FOV2", "DISTORT_FOV3", "DISTORT_RPOLY2_1", "DISTORT_RPOLY2_2", "DISTORT_DPOLY3",
    "DISTORT_DPOLY3_SCALED", "DISTORT_DPOLY4_SCALED", "DISTORT_DPOLY4_PANELSCALE",
    "DISTORT_DPOLY4_QUADRATIC_TILT", "DISTORT_FTHETA", "DISTORT_R1_POLY_4",
    "DISTORT_EXTENDED_FTHETA", "DISTORT_BSPLINE", "DISTORT__COUNT",
};

}  // namespace

TEST(DistortionTypeNames, EveryRowRoundTripsAndCaseIsIgnored) {
  AssertCatcher asserts;
  for (uint32_t v = 0; v < 21; ++v) {
    auto type = static_cast<Distortion_Type>(v);
    EXPECT_STREQ(kNames[v], DistortionTypeName(type));
    EXPECT_EQ(type, DistortionTypeFromName(kNames[v]));
  }
  EXPECT_EQ(DISTORT_POLY3, DistortionTypeFromName("distort_poly3"));
  EXPECT_EQ(DISTORT_POLY3, DistortionTypeFromName("Distort_Poly3"));
  EXPECT_EQ(DISTORT__COUNT, DistortionTypeFromName("distort__count"));
  for (const char* name : {"DISTORT_POLY7", "", "DISTORT_POLY3 ", "Unknown"})
    EXPECT_EQ(DISTORT_NONE, DistortionTypeFromName(name)) << name;
  EXPECT_TRUE(asserts.messages.empty());
}

TEST(DistortionTypeNames, ValueOutsideTableIsUnknownAfterAssertion) {
  AssertCatcher asserts;
  EXPECT_STREQ("Unknown", DistortionTypeName(static_cast<Distortion_Type>(21)));
  EXPECT_STREQ("Unknown", DistortionTypeName(static_cast<Distortion_Type>(0xFFFFFFFFu)));
  ASSERT_EQ(2u, asserts.messages.size());
  EXPECT_EQ("Missing String for Distortion_Type (21)", asserts.messages[0]);
  EXPECT_EQ("Missing String for Distortion_Type (-1)", asserts.messages[1]);
  EXPECT_NE(std::string::npos, asserts.files[0].find("distortion"));

  // Written as "Unknown", which reads back as DISTORT_NONE.
  DistortionParams block = Block(static_cast<Distortion_Type>(1000), {0.5});
  Json::Value written = ToJson(block);
  EXPECT_EQ("Unknown", written["type"].asString());
  EXPECT_EQ(3u, asserts.messages.size());
  EXPECT_TRUE(FromJson(written, &block, nullptr));
  EXPECT_EQ(DISTORT_NONE, block.type);
  EXPECT_EQ(0.5, block.coeffs[0]);
}

TEST(DistortionParse, AbsentBlockIsAllDefaultsAndWritesNull) {
  DistortionParams block = Block(DISTORT_FOV1, {0, 0, 0, 2});
  block.center_x = 1.0;
  block.r2max = 3.0;
  block.nSplineCtrlPts = 5;
  block.clampToR2max = false;
  EXPECT_TRUE(FromJson(Json::Value(), &block, nullptr));
  EXPECT_EQ(DISTORT_NONE, block.type);
  EXPECT_EQ(16.0, block.r2max);
  EXPECT_EQ(8, block.nSplineCtrlPts);
  EXPECT_EQ(0.0, block.center_x);
  EXPECT_EQ(0.0, block.coeffs[3]);
  EXPECT_FALSE(block.clampToR2max);  // parsing leaves the flag alone
  EXPECT_TRUE(ToJson(block).isNull());
}

TEST(DistortionParse, MembersAndLenientKinds) {
  DistortionParams block = Read(R"({"type": "DISTORT_bspline", "r2max": 2.5,
      "nSplineCtrlPts": 12, "center_x": -0.125, "center_y": 0.75, "coeffs": [1.5]})");
  EXPECT_EQ(DISTORT_BSPLINE, block.type);
  EXPECT_EQ(2.5, block.r2max);
  EXPECT_EQ(12, block.nSplineCtrlPts);
  EXPECT_EQ(-0.125, block.center_x);
  EXPECT_EQ(0.75, block.center_y);
  EXPECT_EQ(1.5, block.coeffs[0]);
  // A misspelt type is DISTORT_NONE but the coefficients are still read;
  // values of the wrong kind read as their defaults.
  block = Read(R"({"type": "DISTORT_POLY", "r2max": "big", "nSplineCtrlPts": [3],
      "center_x": true, "coeffs": ["x", null, false, 2]})");
  EXPECT_EQ(DISTORT_NONE, block.type);
  EXPECT_EQ(16.0, block.r2max);
  EXPECT_EQ(8, block.nSplineCtrlPts);
  EXPECT_EQ(1.0, block.center_x);
  EXPECT_EQ(0.0, block.coeffs[0]);
  EXPECT_EQ(2.0, block.coeffs[3]);
}

TEST(DistortionParse, CoefficientArrayLength) {
  DistortionParams block =
      Read(R"({"coeffs": [1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20]})");
  for (int i = 0; i < 16; ++i)
    EXPECT_EQ(i + 1.0, block.coeffs[i]);
  EXPECT_EQ(16u, ToJson(block)["coeffs"].size());
  EXPECT_TRUE(FromJson(Parse(R"({"coeffs": [1, 2]})"), &block, nullptr));
  EXPECT_EQ(2.0, block.coeffs[1]);
  EXPECT_EQ(0.0, block.coeffs[2]);
}

TEST(DistortionParse, WrongContainerKindIsReportedButReadLeniently) {
  DistortionParams block;
  std::string error;
  EXPECT_FALSE(FromJson(Json::Value(5), &block, &error));
  EXPECT_EQ("distortion block is not an object", error);
  EXPECT_EQ(16.0, block.r2max);
  error.clear();
  EXPECT_FALSE(FromJson(Parse(R"({"type": "DISTORT_POLY2", "coeffs": {"0": 1}})"), &block, &error));
  EXPECT_EQ("\"coeffs\" is not an array", error);
  EXPECT_EQ(DISTORT_POLY2, block.type);
  EXPECT_EQ(0.0, block.coeffs[0]);
}

TEST(DistortionWrite, SparseMembers) {
  Json::Value coeffs = ToJson(Read(R"({"coeffs": [0.1, 0, 0.2, 0, 0]})"))["coeffs"];
  ASSERT_EQ(3u, coeffs.size());  // inner zeros kept, trailing ones dropped
  EXPECT_EQ(0.2, coeffs[2].asDouble());
  EXPECT_EQ(17, JsonPrecision(coeffs[0]));

  DistortionParams block;
  for (double r2max : {16.000001, 15.999995, 16.1, 0.0}) {
    block.r2max = r2max;
    EXPECT_EQ(std::fabs(r2max - 16) > 1e-5, ToJson(block).isMember("r2max")) << r2max;
  }

  Json::Value center = ToJson(Read(R"({"center_y": 0.5})"));
  EXPECT_EQ("{\n   \"center_x\" : 0,\n   \"center_y\" : 0.5\n}\n", WriteStyledJson(center));

  block.Reset();
  block.nSplineCtrlPts = 0;
  EXPECT_TRUE(ToJson(block)["nSplineCtrlPts"].isInt());
}

TEST(DistortionWrite, StyledTextAndRoundTrip) {
  EXPECT_EQ(
      "{\n"
      "   \"center_x\" : 0.10000000000000001,\n"
      "   \"center_y\" : 0,\n"
      "   \"coeffs\" : [ 1, 0, 0.5 ],\n"
      "   \"nSplineCtrlPts\" : 6,\n"
      "   \"r2max\" : 2,\n"
      "   \"type\" : \"DISTORT_BSPLINE\"\n"
      "}\n",
      Written(Read(R"({"type": "distort_bspline", "r2max": 2, "center_x": 0.1,
                       "nSplineCtrlPts": 6, "coeffs": [1, 0, 0.5]})")));
  DistortionParams block = Block(DISTORT_DPOLY4_QUADRATIC_TILT, {});
  for (int i = 0; i < 16; ++i)
    block.coeffs[i] = (i % 3 == 0) ? 0.0 : 1.0 / (i + 3);
  block.center_x = 1e-9;
  block.center_y = -123.456;
  block.r2max = 0.3;
  block.nSplineCtrlPts = -2;
  EXPECT_EQ(Written(block), Written(Read(Written(block))));
}

TEST(DistortionTrivial, NoneOrZeroTangentialOnly) {
  DistortionParams block = Block(DISTORT_NONE, {3});
  block.center_x = 1.0;
  EXPECT_TRUE(IsTrivialDistortion(block));
  block = Block(DISTORT_POLY2_TANGENT, {});
  block.r2max = 3.0;  // not considered
  EXPECT_TRUE(IsTrivialDistortion(block));
  block.coeffs[15] = 1e-30;
  EXPECT_FALSE(IsTrivialDistortion(block));
  block.coeffs[15] = 0.0;
  block.center_y = 0.1;
  EXPECT_FALSE(IsTrivialDistortion(block));
  EXPECT_FALSE(IsTrivialDistortion(Block(DISTORT_POLY2, {})));
  EXPECT_FALSE(IsTrivialDistortion(Block(DISTORT__COUNT, {})));
}

TEST(DistortPoint, WorkedValuesOfEveryModel) {
  const double a1 = std::atan(1.0);
  struct Case {
    Distortion_Type type;
    std::vector<double> c;
    float x, y;
    double ex, ey;
  };
  const Case cases[] = {
      {DISTORT_NONE, {5, 5}, 0.3f, -0.7f, 0.3f, -0.7f},
      {DISTORT__COUNT, {5, 5}, 0.3f, -0.7f, 0.3f, -0.7f},
      {static_cast<Distortion_Type>(77), {5}, 0.3f, -0.7f, 0.3f, -0.7f},
      // (1, 1): r2 = 2, f = 1
      {DISTORT_POLY2_TANGENT, {0, 0, 0.01, 0.02}, 1, 1, 1.1, 1.08},
      {DISTORT_POLY3_TANGENT, {0.1, 0, 0, 0, 0.05}, 1, 1, 1.6, 1.6},
      {DISTORT_POLY3_TANGENT_SCALED, {0.1, 0, 0.01, 0, 0.05, -0.5}, 1, 1, 1.12, 1.14},
      {DISTORT_POLY2, {0.1, 0.01}, 1, 0, 1.11, 0},
      {DISTORT_POLY3, {0.1, 0.01, 0.001}, 0, 2, 0, 3.248},
      {DISTORT_FOV1, {2}, 0.5f, 0, 0.5 * a1, 0},
      {DISTORT_FOV2, {1, 1}, 1, 0, a1 / 2, 0},
      {DISTORT_FOV3, {1, 1, 1}, 1, 0, a1 / 3, 0},
      {DISTORT_RPOLY2_1, {1, 0, 3}, 1, 0, 0.5, 0},
      {DISTORT_RPOLY2_2, {1, 0, 1, 2}, 1, 0, 0.5, 0},
      {DISTORT_DPOLY3, {0.5, 0.25, 0.25}, 1, 0, 0.5, 0},
      {DISTORT_DPOLY3_SCALED, {1, 0, 0, 0.5}, 1, 0, 1.0, 0},
      {DISTORT_DPOLY4_SCALED, {0, 0, 0, 0.25, 1}, 1, 0, 0.75, 0},
      // Scaled to (2, 3) first; r2 = 13 from the scaled point.
      {DISTORT_DPOLY4_PANELSCALE, {0, 0, 0, 0, 0, 2, 3}, 1, 1, 2, 3},
      {DISTORT_DPOLY4_PANELSCALE, {1.0 / 13, 0, 0, 0, 0, 2, 3}, 1, 1, 1, 1.5},
      // x' = 1 + 0.1 * 2 = 1.2; y' = 2 + (0.1 + 0.5 x') x' = 2.84, with the new x'.
      {DISTORT_DPOLY4_QUADRATIC_TILT, {0, 0, 0, 7, 0, 0.1, 0, 0, 0.1, 0, 0.5}, 1, 2, 1.2, 2.84},
      {DISTORT_DPOLY4_QUADRATIC_TILT, {0, 0, 0, 0, 0, 0, 0.5, 0.25, 0, 0.125}, 1, 2, 3, 2.75},
      {DISTORT_FTHETA, {}, 1, 0, a1, 0},
      {DISTORT_R1_POLY_4, {0.5}, 0, 2, 0, 4},
      {DISTORT_R1_POLY_4, {0, 0, 0, 0.125}, 2, 0, 6, 0},
      {DISTORT_EXTENDED_FTHETA, {0.5}, 0, 1, 0, a1 * (1 + 0.5 * a1 * a1)},
      {DISTORT_EXTENDED_FTHETA, {0, 0, 0, 1}, 1, 0, a1 * (1 + std::pow(a1, 8)), 0},
  };
  for (const Case& c : cases)
    ExpectDistorts(Block(c.type, c.c), c.x, c.y, c.ex, c.ey);
}

TEST(DistortPoint, CenterIsSubtractedAndAddedBack) {
  DistortionParams block = Block(DISTORT_POLY2, {0.1, 0.01});
  block.center_x = 0.5;
  block.center_y = -2;
  ExpectDistorts(block, 1.5f, -2, 1.61, -2);
  ExpectDistorts(block, 0.5f, -1, 0.5, -2 + 1.11);
}

TEST(DistortPoint, ArcTangentModelsAreFiniteAtTheCenter) {
  // atan(u) / u is taken at its limit 1 where u is 0, instead of 0 / 0.
  for (auto type : {DISTORT_FTHETA, DISTORT_EXTENDED_FTHETA, DISTORT_FOV1, DISTORT_FOV2,
                    DISTORT_FOV3}) {
    DistortionParams block = Block(type, {0.5, 0.5, 0.5, 0.5});
    block.center_x = 0.25;
    block.center_y = -0.5;
    ExpectDistorts(block, 0.25f, -0.5f, 0.25, -0.5);
  }
  ExpectDistorts(Block(DISTORT_FOV1, {0}), 0.5f, 0.5f, 0.5, 0.5);
  ExpectDistorts(Block(DISTORT_FOV2, {0, 1}), 1, 0, 0.5, 0);
}

TEST(DistortPoint, ClampToR2MaxExceptTangentialModels) {
  DistortionParams block = Block(DISTORT_POLY2, {0.1});
  block.r2max = 1.0;
  ExpectDistorts(block, 2, 0, 2.2, 0);  // r2 4 clamped to 1
  block.clampToR2max = false;
  ExpectDistorts(block, 2, 0, 2.8, 0);
  for (auto type : {DISTORT_POLY2_TANGENT, DISTORT_POLY3_TANGENT, DISTORT_POLY3_TANGENT_SCALED}) {
    DistortionParams tangential = Block(type, {0.1});
    tangential.r2max = 1.0;
    ExpectDistorts(tangential, 2, 0, 2.8, 0);
  }
}

TEST(DistortPoint, Bspline) {
  // Control points c(k) = k reproduce a line: B(s) = 1 + (n - 3) s.
  DistortionParams block = Block(DISTORT_BSPLINE, {0, 1, 2, 3, 4, 5, 6, 7});
  block.clampToR2max = false;
  ExpectDistorts(block, std::sqrt(8.0f), 0, 3.5 * std::sqrt(8.0), 0);  // s = 0.5
  // s = 1.5: B(1) = 6, B(0.98) = 5.9, f = 6 + 0.1 * 0.5 * 50 = 8.5
  ExpectDistorts(block, 0, std::sqrt(24.0f), 0, 8.5 * std::sqrt(24.0));
  block.clampToR2max = true;
  ExpectDistorts(block, 0, std::sqrt(24.0f), 0, 6 * std::sqrt(24.0));
  block.nSplineCtrlPts = 5;  // B(s) = 1 + 2 s
  block.clampToR2max = false;
  ExpectDistorts(block, 2, 0, 3, 0);

  // A count the sixteen coefficients cannot hold leaves the point alone.
  DistortionParams twos = Block(DISTORT_BSPLINE, std::vector<double>(16, 2.0));
  for (int n : {-1, 0, 3, 17, 1000}) {
    twos.nSplineCtrlPts = n;
    ExpectDistorts(twos, 0.5f, 0.5f, 0.5, 0.5);
  }
  twos.nSplineCtrlPts = 16;
  ExpectDistorts(twos, 0.5f, 0.5f, 1.0, 1.0);
}

TEST(DistortPoint, DegenerateInputsDoNotCrash) {
  DistortionParams block = Block(DISTORT_BSPLINE, {1, 1, 1, 1, 1, 1, 1, 1});
  float x = 0, y = 0;
  block.r2max = 0.0;  // s = 0 / 0 at the center
  DistortPoint(block, &x, &y);
  block.r2max = -1.0;
  block.coeffs[0] = 1e300;  // beyond single precision
  block.center_x = -1e300;
  x = 1, y = 1;
  DistortPoint(block, &x, &y);
  x = NAN, y = INFINITY;
  UndistortPoint(block, &x, &y);
}

TEST(UndistortPoint, RoundTripsEveryType) {
  const std::vector<double> coeffs[21] = {
      {}, {0.05, 0.01, 0.002, -0.003}, {0.05, 0.01, 0.002, -0.003, 0.001},
      {0.05, 0.01, 0.002, -0.003, 0.001, 0.05}, {0.1, 0.02}, {0.1, 0.02, 0.01}, {0.8},
      {0.8, 0.02}, {0.8, 0.02, 0.01}, {0.1, 0.02, 0.05}, {0.1, 0.02, 0.05, 0.01},
      {0.1, 0.02, 0.01}, {0.1, 0.02, 0.01, 0.1}, {0.1, 0.02, 0.01, 0.1, 0.005},
      {0.1, 0.02, 0.01, 0.1, 0.005, 1.1, 0.9},
      {0.1, 0.02, 0.01, 0, 0.005, 0.01, 0.02, 0.01, -0.01, 0.02, 0.01}, {},
      {0.05, 0.02, 0.01, 0.005}, {0.1, 0.01, 0.001, 0.0001},
      {1.0, 1.02, 1.05, 1.09, 1.14, 1.2, 1.27, 1.35}, {}};
  for (uint32_t t = 0; t < 21; ++t) {
    DistortionParams block = Block(static_cast<Distortion_Type>(t), coeffs[t]);
    block.center_x = 0.05;
    block.center_y = -0.02;
    for (float px = -0.6f; px <= 0.61f; px += 0.3f) {
      for (float py = -0.6f; py <= 0.61f; py += 0.3f) {
        float dx = px, dy = py;
        DistortPoint(block, &dx, &dy);
        float ux = dx, uy = dy;
        UndistortPoint(block, &ux, &uy);
        float rx = ux, ry = uy;
        DistortPoint(block, &rx, &ry);
        // The search stops once the distorted guess is within 0.01.
        EXPECT_LT(std::fabs(rx - dx) + std::fabs(ry - dy), 0.01f) << kNames[t] << " " << px << "," << py;
        EXPECT_NEAR(px, ux, 0.02) << kNames[t] << " " << px << "," << py;
        EXPECT_NEAR(py, uy, 0.02) << kNames[t] << " " << px << "," << py;
      }
    }
  }
}

TEST(UndistortPoint, StepsAndLimit) {
  float x = 0, y = 0;
  UndistortPoint(Block(DISTORT_POLY2, {0.1}), &x, &y);
  EXPECT_EQ(0.0f, x);
  EXPECT_EQ(0.0f, y);
  // f = 1.05: only the coordinate with the larger error is corrected.
  x = 1, y = 0;
  UndistortPoint(Block(DISTORT_DPOLY3_SCALED, {0, 0, 0, 0.05}), &x, &y);
  EXPECT_EQ(0.0f, y);
  EXPECT_NEAR(1.0 / 1.05, x, 0.01);
  // f = 0 maps every point onto the center, so the error never shrinks; with
  // equal errors each of the hundred steps moves y by a tenth.
  x = 1, y = 1;
  UndistortPoint(Block(DISTORT_DPOLY3_SCALED, {0, 0, 0, -1}), &x, &y);
  EXPECT_EQ(1.0f, x);
  EXPECT_NEAR(11.0, y, 1e-4);
}
