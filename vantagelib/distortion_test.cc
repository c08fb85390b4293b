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

std::string Written(const DistortionParams& block) {
  return WriteStyledJson(ToJson(block));
}

// Collects assertion messages for the lifetime of the object.
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
    "DISTORT_NONE",          "DISTORT_POLY2_TANGENT",     "DISTORT_POLY3_TANGENT",
    "DISTORT_POLY3_TANGENT_SCALED", "DISTORT_POLY2",      "DISTORT_POLY3",
    "DISTORT_FOV1",          "DISTORT_FOV2",              "DISTORT_FOV3",
    "DISTORT_RPOLY2_1",      "DISTORT_RPOLY2_2",          "DISTORT_DPOLY3",
    "DISTORT_DPOLY3_SCALED", "DISTORT_DPOLY4_SCALED",     "DISTORT_DPOLY4_PANELSCALE",
    "DISTORT_DPOLY4_QUADRATIC_TILT", "DISTORT_FTHETA",    "DISTORT_R1_POLY_4",
    "DISTORT_EXTENDED_FTHETA", "DISTORT_BSPLINE",         "DISTORT__COUNT",
};

}  // namespace

// --- Type names ------------------------------------------------------------

TEST(DistortionTypeNames, EveryRowRoundTripsByValueAndName) {
  AssertCatcher asserts;
  for (uint32_t v = 0; v < 21; ++v) {
    auto type = static_cast<Distortion_Type>(v);
    EXPECT_STREQ(kNames[v], DistortionTypeName(type));
    EXPECT_EQ(type, DistortionTypeFromName(kNames[v]));
  }
  EXPECT_TRUE(asserts.messages.empty());
}

TEST(DistortionTypeNames, MatchIgnoresCase) {
  EXPECT_EQ(DISTORT_POLY3, DistortionTypeFromName("distort_poly3"));
  EXPECT_EQ(DISTORT_POLY3, DistortionTypeFromName("Distort_Poly3"));
  EXPECT_EQ(DISTORT__COUNT, DistortionTypeFromName("distort__count"));
  EXPECT_EQ(DISTORT_BSPLINE, DistortionTypeFromName("DISTORT_bspline"));
}

TEST(DistortionTypeNames, NoMatchIsNoneWithoutAssertion) {
  AssertCatcher asserts;
  EXPECT_EQ(DISTORT_NONE, DistortionTypeFromName("DISTORT_POLY7"));
  EXPECT_EQ(DISTORT_NONE, DistortionTypeFromName(""));
  EXPECT_EQ(DISTORT_NONE, DistortionTypeFromName("DISTORT_POLY3 "));  // no trimming
  EXPECT_EQ(DISTORT_NONE, DistortionTypeFromName("Unknown"));
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
}

TEST(DistortionTypeNames, UnknownWritesAndReadsBackAsNone) {
  AssertCatcher asserts;
  DistortionParams block;
  block.type = static_cast<Distortion_Type>(1000);
  block.coeffs[0] = 0.5;
  Json::Value written = ToJson(block);
  EXPECT_EQ("Unknown", written["type"].asString());
  EXPECT_EQ(1u, asserts.messages.size());
  DistortionParams back;
  EXPECT_TRUE(FromJson(written, &back, nullptr));
  EXPECT_EQ(DISTORT_NONE, back.type);
  EXPECT_EQ(0.5, back.coeffs[0]);
}

// --- Parse -----------------------------------------------------------------

TEST(DistortionParse, AbsentBlockIsAllDefaults) {
  DistortionParams block;
  block.type = DISTORT_FOV1;
  block.coeffs[3] = 2.0;
  block.center_x = 1.0;
  block.r2max = 3.0;
  block.nSplineCtrlPts = 5;
  std::string error;
  EXPECT_TRUE(FromJson(Json::Value(), &block, &error));
  EXPECT_EQ(DISTORT_NONE, block.type);
  EXPECT_EQ(16.0, block.r2max);
  EXPECT_EQ(8, block.nSplineCtrlPts);
  EXPECT_EQ(0.0, block.center_x);
  EXPECT_EQ(0.0, block.center_y);
  for (double c : block.coeffs)
    EXPECT_EQ(0.0, c);
  EXPECT_TRUE(ToJson(block).isNull());
}

TEST(DistortionParse, LeavesClampFlagAlone) {
  DistortionParams block;
  block.clampToR2max = false;
  FromJson(Parse(R"({"type": "DISTORT_POLY2", "coeffs": [1]})"), &block, nullptr);
  EXPECT_FALSE(block.clampToR2max);
  block.clampToR2max = true;
  FromJson(Json::Value(), &block, nullptr);
  EXPECT_TRUE(block.clampToR2max);
}

TEST(DistortionParse, MixedCaseTypeWritesBackInTableSpelling) {
  DistortionParams block = Read(R"({"type": "Distort_Poly3"})");
  EXPECT_EQ(DISTORT_POLY3, block.type);
  EXPECT_EQ("DISTORT_POLY3", ToJson(block)["type"].asString());
}

TEST(DistortionParse, MisspeltTypeIsNoneButCoefficientsStillRead) {
  DistortionParams block = Read(R"({"type": "DISTORT_POLY", "coeffs": [0.25, 0.5]})");
  EXPECT_EQ(DISTORT_NONE, block.type);
  EXPECT_EQ(0.25, block.coeffs[0]);
  EXPECT_EQ(0.5, block.coeffs[1]);
}

TEST(DistortionParse, KeepsOnlySixteenCoefficients) {
  DistortionParams block =
      Read(R"({"coeffs": [1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20]})");
  for (int i = 0; i < 16; ++i)
    EXPECT_EQ(i + 1.0, block.coeffs[i]);
  EXPECT_EQ(16u, ToJson(block)["coeffs"].size());
}

TEST(DistortionParse, ShortCoefficientArrayLeavesRestZero) {
  DistortionParams block;
  block.coeffs[5] = 9.0;
  FromJson(Parse(R"({"coeffs": [1, 2]})"), &block, nullptr);
  EXPECT_EQ(2.0, block.coeffs[1]);
  EXPECT_EQ(0.0, block.coeffs[2]);
  EXPECT_EQ(0.0, block.coeffs[5]);
}

TEST(DistortionParse, AllFieldsFromText) {
  DistortionParams block = Read(R"({"type": "DISTORT_BSPLINE", "r2max": 2.5,
      "nSplineCtrlPts": 12, "center_x": -0.125, "center_y": 0.75, "coeffs": [1.5]})");
  EXPECT_EQ(DISTORT_BSPLINE, block.type);
  EXPECT_EQ(2.5, block.r2max);
  EXPECT_EQ(12, block.nSplineCtrlPts);
  EXPECT_EQ(-0.125, block.center_x);
  EXPECT_EQ(0.75, block.center_y);
  EXPECT_EQ(1.5, block.coeffs[0]);
}

TEST(DistortionParse, WrongScalarKindsReadAsDefaults) {
  DistortionParams block = Read(
      R"({"type": 4, "r2max": "big", "nSplineCtrlPts": [3], "center_x": true,
          "coeffs": ["x", null, false, 2]})");
  EXPECT_EQ(DISTORT_NONE, block.type);
  EXPECT_EQ(16.0, block.r2max);
  EXPECT_EQ(8, block.nSplineCtrlPts);
  EXPECT_EQ(1.0, block.center_x);
  EXPECT_EQ(0.0, block.coeffs[0]);
  EXPECT_EQ(0.0, block.coeffs[1]);
  EXPECT_EQ(0.0, block.coeffs[2]);
  EXPECT_EQ(2.0, block.coeffs[3]);
}

TEST(DistortionParse, WrongContainerKindIsReportedButReadLeniently) {
  DistortionParams block;
  std::string error;
  EXPECT_FALSE(FromJson(Json::Value(5), &block, &error));
  EXPECT_EQ("distortion block is not an object", error);
  EXPECT_EQ(DISTORT_NONE, block.type);
  EXPECT_EQ(16.0, block.r2max);

  error.clear();
  EXPECT_FALSE(FromJson(Parse(R"({"type": "DISTORT_POLY2", "coeffs": {"0": 1}})"), &block,
                        &error));
  EXPECT_EQ("\"coeffs\" is not an array", error);
  EXPECT_EQ(DISTORT_POLY2, block.type);
  EXPECT_EQ(0.0, block.coeffs[0]);
  EXPECT_FALSE(FromJson(Json::Value("text"), &block, nullptr));
}

// --- Write -----------------------------------------------------------------

TEST(DistortionWrite, TrailingZeroCoefficientsDropped) {
  DistortionParams block = Read(R"({"type": "DISTORT_POLY3", "coeffs": [0.1, 0, 0.2, 0, 0]})");
  Json::Value coeffs = ToJson(block)["coeffs"];
  ASSERT_EQ(3u, coeffs.size());
  EXPECT_EQ(0.1, coeffs[0].asDouble());
  EXPECT_EQ(0.0, coeffs[1].asDouble());
  EXPECT_EQ(0.2, coeffs[2].asDouble());
  EXPECT_EQ(17, JsonPrecision(coeffs[0]));
}

TEST(DistortionWrite, R2MaxWithinToleranceOfDefaultNotWritten) {
  DistortionParams block;
  block.r2max = 16.000001;
  EXPECT_TRUE(ToJson(block).isNull());
  block.r2max = 15.999995;
  EXPECT_TRUE(ToJson(block).isNull());
  block.r2max = 16.1;
  EXPECT_EQ(16.1, ToJson(block)["r2max"].asDouble());
  block.r2max = 0.0;
  EXPECT_EQ(0.0, ToJson(block)["r2max"].asDouble());
}

TEST(DistortionWrite, OneCenterCoordinateWritesBoth) {
  DistortionParams block = Read(R"({"center_y": 0.5})");
  Json::Value written = ToJson(block);
  EXPECT_EQ(0.0, written["center_x"].asDouble());
  EXPECT_EQ(0.5, written["center_y"].asDouble());
  EXPECT_FALSE(written.isMember("type"));
}

TEST(DistortionWrite, ControlPointCountOnlyWhenNotEight) {
  DistortionParams block;
  block.nSplineCtrlPts = 8;
  EXPECT_TRUE(ToJson(block).isNull());
  block.nSplineCtrlPts = 0;
  EXPECT_EQ(0, ToJson(block)["nSplineCtrlPts"].asInt());
  EXPECT_TRUE(ToJson(block)["nSplineCtrlPts"].isInt());
}

TEST(DistortionWrite, StyledTextOfFullBlock) {
  DistortionParams block = Read(R"({"type": "distort_bspline", "r2max": 2, "center_x": 0.1,
      "nSplineCtrlPts": 6, "coeffs": [1, 0, 0.5]})");
  EXPECT_EQ(
      "{\n"
      "   \"center_x\" : 0.10000000000000001,\n"
      "   \"center_y\" : 0,\n"
      "   \"coeffs\" : [ 1, 0, 0.5 ],\n"
      "   \"nSplineCtrlPts\" : 6,\n"
      "   \"r2max\" : 2,\n"
      "   \"type\" : \"DISTORT_BSPLINE\"\n"
      "}\n",
      Written(block));
}

TEST(DistortionWrite, ReadWriteReadKeepsEveryField) {
  DistortionParams block;
  block.type = DISTORT_DPOLY4_QUADRATIC_TILT;
  for (int i = 0; i < 16; ++i)
    block.coeffs[i] = (i % 3 == 0) ? 0.0 : 1.0 / (i + 3);
  block.center_x = 1e-9;
  block.center_y = -123.456;
  block.r2max = 0.3;
  block.nSplineCtrlPts = -2;
  DistortionParams back = Read(Written(block));
  EXPECT_EQ(block.type, back.type);
  for (int i = 0; i < 16; ++i)
    EXPECT_EQ(block.coeffs[i], back.coeffs[i]) << i;
  EXPECT_EQ(block.center_x, back.center_x);
  EXPECT_EQ(block.center_y, back.center_y);
  EXPECT_EQ(block.r2max, back.r2max);
  EXPECT_EQ(block.nSplineCtrlPts, back.nSplineCtrlPts);
}

// --- Trivial blocks ----------------------------------------------------------

TEST(DistortionTrivial, NoneIsTrivialWhateverItsCoefficients) {
  DistortionParams block;
  EXPECT_TRUE(IsTrivialDistortion(block));
  block.coeffs[0] = 3.0;
  block.center_x = 1.0;
  EXPECT_TRUE(IsTrivialDistortion(block));
}

TEST(DistortionTrivial, ZeroTangentialBlockIsTrivialOtherTypesAreNot) {
  DistortionParams block;
  block.type = DISTORT_POLY2_TANGENT;
  block.r2max = 3.0;  // not considered
  EXPECT_TRUE(IsTrivialDistortion(block));
  block.coeffs[15] = 1e-30;
  EXPECT_FALSE(IsTrivialDistortion(block));
  block.coeffs[15] = 0.0;
  block.center_y = 0.1;
  EXPECT_FALSE(IsTrivialDistortion(block));

  DistortionParams poly2;
  poly2.type = DISTORT_POLY2;
  EXPECT_FALSE(IsTrivialDistortion(poly2));
  poly2.type = DISTORT__COUNT;
  EXPECT_FALSE(IsTrivialDistortion(poly2));
}

// --- Lens models: worked values ----------------------------------------------

namespace {

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
  EXPECT_NEAR(ex, px, 1e-5 * std::max(1.0, std::fabs(ex))) << "x of (" << x << ", " << y << ")";
  EXPECT_NEAR(ey, py, 1e-5 * std::max(1.0, std::fabs(ey))) << "y of (" << x << ", " << y << ")";
}

}  // namespace

TEST(DistortPoint, NoneCountAndUnnamedLeaveThePoint) {
  ExpectDistorts(Block(DISTORT_NONE, {5, 5}), 0.3f, -0.7f, 0.3f, -0.7f);
  ExpectDistorts(Block(DISTORT__COUNT, {5, 5}), 0.3f, -0.7f, 0.3f, -0.7f);
  ExpectDistorts(Block(static_cast<Distortion_Type>(77), {5, 5}), 0.3f, -0.7f, 0.3f, -0.7f);
}

TEST(DistortPoint, RadialPolynomials) {
  // r2 = 1 at (1, 0); r2 = 4 at (0, 2).
  ExpectDistorts(Block(DISTORT_POLY2, {0.1, 0.01}), 1, 0, 1.11, 0);
  ExpectDistorts(Block(DISTORT_POLY3, {0.1, 0.01, 0.001}), 0, 2, 0, 2 * (1 + 4 * (0.1 + 4 * (0.01 + 4 * 0.001))));
  ExpectDistorts(Block(DISTORT_RPOLY2_1, {1, 0, 3}), 1, 0, 0.5, 0);
  ExpectDistorts(Block(DISTORT_RPOLY2_2, {1, 0, 1, 2}), 1, 0, 0.5, 0);
  ExpectDistorts(Block(DISTORT_DPOLY3, {0.5, 0.25, 0.25}), 1, 0, 0.5, 0);
  ExpectDistorts(Block(DISTORT_DPOLY3_SCALED, {1, 0, 0, 0.5}), 1, 0, 1.0, 0);
  ExpectDistorts(Block(DISTORT_DPOLY4_SCALED, {0, 0, 0, 0.25, 1}), 1, 0, 0.75, 0);
  ExpectDistorts(Block(DISTORT_R1_POLY_4, {0.5, 0, 0, 0}), 0, 2, 0, 4);
  ExpectDistorts(Block(DISTORT_R1_POLY_4, {0, 0, 0, 0.125}), 2, 0, 6, 0);
}

TEST(DistortPoint, TangentialTerms) {
  // (1, 1): r2 = 2, f = 1.
  ExpectDistorts(Block(DISTORT_POLY2_TANGENT, {0, 0, 0.01, 0.02}), 1, 1, 1.1, 1.08);
  // f = 1 + 2 * (0.1 + 2 * (0 + 2 * 0.05)) = 1.6
  ExpectDistorts(Block(DISTORT_POLY3_TANGENT, {0.1, 0, 0, 0, 0.05}), 1, 1, 1.6, 1.6);
  // The scaled form adds c5 to f.
  ExpectDistorts(Block(DISTORT_POLY3_TANGENT_SCALED, {0.1, 0, 0.01, 0, 0.05, -0.5}), 1, 1,
                 1.1 + 0.02, 1.1 + 0.04);
}

TEST(DistortPoint, ArcTangentModels) {
  const double a1 = std::atan(1.0);
  ExpectDistorts(Block(DISTORT_FTHETA, {}), 1, 0, a1, 0);
  ExpectDistorts(Block(DISTORT_FOV1, {2}), 0.5f, 0, 0.5 * a1, 0);
  ExpectDistorts(Block(DISTORT_FOV2, {1, 1}), 1, 0, a1 / 2, 0);
  ExpectDistorts(Block(DISTORT_FOV3, {1, 1, 1}), 1, 0, a1 / 3, 0);
  // t = atan(1): f = t (1 + 0.5 t^2)
  ExpectDistorts(Block(DISTORT_EXTENDED_FTHETA, {0.5}), 0, 1, 0, a1 * (1 + 0.5 * a1 * a1));
  ExpectDistorts(Block(DISTORT_EXTENDED_FTHETA, {0, 0, 0, 1}), 1, 0, a1 * (1 + std::pow(a1, 8)), 0);
}

TEST(DistortPoint, ArcTangentModelsAreFiniteAtTheCenter) {
  // atan(u) / u is taken at its limit 1 where u is 0 instead of 0 / 0.
  for (auto type : {DISTORT_FTHETA, DISTORT_EXTENDED_FTHETA, DISTORT_FOV1, DISTORT_FOV2,
                    DISTORT_FOV3}) {
    DistortionParams block = Block(type, {0.5, 0.5, 0.5, 0.5});
    block.center_x = 0.25;
    block.center_y = -0.5;
    ExpectDistorts(block, 0.25f, -0.5f, 0.25, -0.5);
  }
  // A zero field-of-view coefficient is the limit of the quotient too.
  ExpectDistorts(Block(DISTORT_FOV1, {0}), 0.5f, 0.5f, 0.5, 0.5);
  ExpectDistorts(Block(DISTORT_FOV2, {0, 1}), 1, 0, 0.5, 0);
}

TEST(DistortPoint, CenterIsSubtractedAndAddedBack) {
  DistortionParams block = Block(DISTORT_POLY2, {0.1, 0.01});
  block.center_x = 0.5;
  block.center_y = -2;
  ExpectDistorts(block, 1.5f, -2, 1.61, -2);
  ExpectDistorts(block, 0.5f, -1, 0.5, -2 + 1.11);
}

TEST(DistortPoint, PanelScaleScalesBeforeTheRadius) {
  DistortionParams block = Block(DISTORT_DPOLY4_PANELSCALE, {0, 0, 0, 0, 0, 2, 3});
  ExpectDistorts(block, 1, 1, 2, 3);
  // r2 = (2^2 + 3^2) = 13 from the scaled point, f = 1 / (1 + 13 c0).
  block.coeffs[0] = 1.0 / 13;
  ExpectDistorts(block, 1, 1, 1, 1.5);
}

TEST(DistortPoint, QuadraticTiltUsesTheNewX) {
  // x' = 1 + 0.1 * 2 = 1.2; y' = 2 + (0.1 + 0.5 * 1.2) * 1.2 = 2.84
  DistortionParams block = Block(DISTORT_DPOLY4_QUADRATIC_TILT,
                                 {0, 0, 0, 7, 0, 0.1, 0, 0, 0.1, 0, 0.5});
  ExpectDistorts(block, 1, 2, 1.2, 2.84);
  // c6 and c7 and c9
  DistortionParams more = Block(DISTORT_DPOLY4_QUADRATIC_TILT,
                                {0, 0, 0, 0, 0, 0, 0.5, 0.25, 0, 0.125, 0});
  // x' = 1 + (0.5 + 0.25 * 2) * 2 = 3; y' = 2 + (0.125 * 2) * 3 = 2.75
  ExpectDistorts(more, 1, 2, 3, 2.75);
}

TEST(DistortPoint, ClampToR2Max) {
  DistortionParams block = Block(DISTORT_POLY2, {0.1});
  block.r2max = 1.0;
  ExpectDistorts(block, 2, 0, 2.2, 0);  // r2 4 clamped to 1
  block.clampToR2max = false;
  ExpectDistorts(block, 2, 0, 2.8, 0);
}

TEST(DistortPoint, TangentialModelsAreNeverClamped) {
  for (auto type : {DISTORT_POLY2_TANGENT, DISTORT_POLY3_TANGENT}) {
    DistortionParams block = Block(type, {0.1});
    block.r2max = 1.0;
    ExpectDistorts(block, 2, 0, 2.8, 0);
  }
  DistortionParams scaled = Block(DISTORT_POLY3_TANGENT_SCALED, {0.1});
  scaled.r2max = 1.0;
  ExpectDistorts(scaled, 2, 0, 2.8, 0);
}

TEST(DistortPoint, BsplineOfConstantControlPointsIsIdentity) {
  DistortionParams block = Block(DISTORT_BSPLINE, std::vector<double>(16, 1.0));
  block.clampToR2max = false;
  ExpectDistorts(block, 1.5f, -2.5f, 1.5, -2.5);
  ExpectDistorts(block, 0, 0, 0, 0);
}

TEST(DistortPoint, BsplineInsideAndBeyondItsRadius) {
  // Control points c(k) = k reproduce a line: B(s) = 1 + (n - 3) s.
  DistortionParams block = Block(DISTORT_BSPLINE, {0, 1, 2, 3, 4, 5, 6, 7});
  block.clampToR2max = false;
  // s = 8 / 16 = 0.5: B = 3.5
  ExpectDistorts(block, std::sqrt(8.0f), 0, 3.5 * std::sqrt(8.0), 0);
  // s = 24 / 16 = 1.5: B(1) = 6, B(0.98) = 5.9, f = 6 + 0.1 * 0.5 * 50 = 8.5
  ExpectDistorts(block, 0, std::sqrt(24.0f), 0, 8.5 * std::sqrt(24.0));
  // Clamped, s stops at 1.
  block.clampToR2max = true;
  ExpectDistorts(block, 0, std::sqrt(24.0f), 0, 6 * std::sqrt(24.0));
  // Fewer control points change the parameter scale: n = 5, B(s) = 1 + 2 s.
  block.nSplineCtrlPts = 5;
  block.clampToR2max = false;
  ExpectDistorts(block, 2, 0, 2 * 1.5, 0);
}

TEST(DistortPoint, BsplineCountOutsideTheCoefficientsLeavesThePoint) {
  DistortionParams block = Block(DISTORT_BSPLINE, std::vector<double>(16, 2.0));
  for (int n : {-1, 0, 3, 17, 1000}) {
    block.nSplineCtrlPts = n;
    ExpectDistorts(block, 0.5f, 0.5f, 0.5, 0.5);
  }
  block.nSplineCtrlPts = 16;
  ExpectDistorts(block, 0.5f, 0.5f, 1.0, 1.0);
}

TEST(DistortPoint, DegenerateInputsDoNotCrash) {
  DistortionParams block = Block(DISTORT_BSPLINE, {1, 1, 1, 1, 1, 1, 1, 1});
  block.r2max = 0.0;  // s = 0 / 0 at the center
  float x = 0, y = 0;
  DistortPoint(block, &x, &y);
  block.r2max = -1.0;
  x = 1;
  y = 1;
  DistortPoint(block, &x, &y);
  block.coeffs[0] = 1e300;  // beyond single precision
  block.center_x = -1e300;
  x = 1;
  y = 1;
  DistortPoint(block, &x, &y);
  x = NAN;
  y = INFINITY;
  UndistortPoint(block, &x, &y);
  SUCCEED();
}

// --- Lens models: undistortion ------------------------------------------------

TEST(UndistortPoint, RoundTripsEveryType) {
  struct Case {
    Distortion_Type type;
    std::vector<double> coeffs;
  };
  const Case cases[] = {
      {DISTORT_NONE, {}},
      {DISTORT_POLY2_TANGENT, {0.05, 0.01, 0.002, -0.003}},
      {DISTORT_POLY3_TANGENT, {0.05, 0.01, 0.002, -0.003, 0.001}},
      {DISTORT_POLY3_TANGENT_SCALED, {0.05, 0.01, 0.002, -0.003, 0.001, 0.05}},
      {DISTORT_POLY2, {0.1, 0.02}},
      {DISTORT_POLY3, {0.1, 0.02, 0.01}},
      {DISTORT_FOV1, {0.8}},
      {DISTORT_FOV2, {0.8, 0.02}},
      {DISTORT_FOV3, {0.8, 0.02, 0.01}},
      {DISTORT_RPOLY2_1, {0.1, 0.02, 0.05}},
      {DISTORT_RPOLY2_2, {0.1, 0.02, 0.05, 0.01}},
      {DISTORT_DPOLY3, {0.1, 0.02, 0.01}},
      {DISTORT_DPOLY3_SCALED, {0.1, 0.02, 0.01, 0.1}},
      {DISTORT_DPOLY4_SCALED, {0.1, 0.02, 0.01, 0.1, 0.005}},
      {DISTORT_DPOLY4_PANELSCALE, {0.1, 0.02, 0.01, 0.1, 0.005, 1.1, 0.9}},
      {DISTORT_DPOLY4_QUADRATIC_TILT, {0.1, 0.02, 0.01, 0, 0.005, 0.01, 0.02, 0.01, -0.01, 0.02, 0.01}},
      {DISTORT_FTHETA, {}},
      {DISTORT_R1_POLY_4, {0.05, 0.02, 0.01, 0.005}},
      {DISTORT_EXTENDED_FTHETA, {0.1, 0.01, 0.001, 0.0001}},
      {DISTORT_BSPLINE, {1.0, 1.02, 1.05, 1.09, 1.14, 1.2, 1.27, 1.35}},
      {DISTORT__COUNT, {}},
  };
  ASSERT_EQ(21u, std::size(cases));
  for (const Case& c : cases) {
    DistortionParams block = Block(c.type, c.coeffs);
    block.center_x = 0.05;
    block.center_y = -0.02;
    for (float px = -0.6f; px <= 0.61f; px += 0.3f) {
      for (float py = -0.6f; py <= 0.61f; py += 0.3f) {
        float dx = px, dy = py;
        DistortPoint(block, &dx, &dy);
        float ux = dx, uy = dy;
        UndistortPoint(block, &ux, &uy);
        // The search stops once the distorted guess is within 0.01.
        float rx = ux, ry = uy;
        DistortPoint(block, &rx, &ry);
        EXPECT_LT(std::fabs(rx - dx) + std::fabs(ry - dy), 0.01f)
            << DistortionTypeName(c.type) << " at " << px << ", " << py;
        EXPECT_NEAR(px, ux, 0.02) << DistortionTypeName(c.type) << " at " << px << ", " << py;
        EXPECT_NEAR(py, uy, 0.02) << DistortionTypeName(c.type) << " at " << px << ", " << py;
      }
    }
  }
}

TEST(UndistortPoint, TargetAlreadyFixedReturnsItUnchanged) {
  DistortionParams block = Block(DISTORT_POLY2, {0.1});
  float x = 0, y = 0;
  UndistortPoint(block, &x, &y);
  EXPECT_EQ(0.0f, x);
  EXPECT_EQ(0.0f, y);
}

TEST(UndistortPoint, GivesUpAfterOneHundredSteps) {
  // f = 1 / 1 - 1 = 0 maps every point onto the center, so the error never
  // shrinks; with equal errors each step moves y by a tenth.
  DistortionParams block = Block(DISTORT_DPOLY3_SCALED, {0, 0, 0, -1});
  float x = 1, y = 1;
  UndistortPoint(block, &x, &y);
  EXPECT_EQ(1.0f, x);
  EXPECT_NEAR(11.0, y, 1e-4);
}

TEST(UndistortPoint, CorrectsTheCoordinateWithTheLargerError) {
  // Distortion that only shifts: DPOLY3_SCALED with f = 1 + c3 scales; use a
  // scale of 1.05 and a target on the x axis: only x is ever corrected.
  DistortionParams block = Block(DISTORT_DPOLY3_SCALED, {0, 0, 0, 0.05});
  float x = 1, y = 0;
  UndistortPoint(block, &x, &y);
  EXPECT_EQ(0.0f, y);
  EXPECT_NEAR(1.0 / 1.05, x, 0.01);
}
