#include "devconfig/pose.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Reading axes back settles in a round or two, or not for a long time (see
// AxesFromPose).
const int kMaxReadBackRounds = 8;

struct Quat {
  double x, y, z, w;
};

Quat Multiply(const Quat& a, const Quat& b) {
  return {a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y, a.w * b.y - a.x * b.z + a.y * b.w + a.z * b.x,
          a.w * b.z + a.x * b.y - a.y * b.x + a.z * b.w, a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z};
}

Quat RotationOf(const Pose& pose) { return {pose.rotation[0], pose.rotation[1], pose.rotation[2], pose.rotation[3]}; }

bool Same(const Quat& a, const Quat& b) { return a.x == b.x && a.y == b.y && a.z == b.z && a.w == b.w; }

double Dot(const double a[3], const double b[3]) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

void Cross(const double a[3], const double b[3], double out[3]) {
  double r[3] = {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
  out[0] = r[0];
  out[1] = r[1];
  out[2] = r[2];
}

// v' = v + 2w(u x v) + 2 u x (u x v), u the vector part of q.
void Rotate(const Quat& q, const double v[3], double out[3]) {
  const double u[3] = {q.x, q.y, q.z};
  double uv[3], uuv[3];
  Cross(u, v, uv);
  Cross(u, uv, uuv);
  for (int i = 0; i < 3; ++i) out[i] = v[i] + 2.0 * q.w * uv[i] + 2.0 * uuv[i];
}

// The axes of q's rotation, the rotation of q / |q| whatever q's length:
// the formula v + 2w(u x v) + 2u x (u x v) alone gives s R(v) + (1 - s) v
// for a q of squared length s, the axes pulled towards the identity, and a
// float quaternion is seldom of exactly unit length. (The zero quaternion
// keeps the identity axes.) Adding +0 turns a negative zero into zero, so
// documents never show "-0".
void RotationAxes(const Quat& q, double plusX[3], double plusZ[3]) {
  const double unitX[3] = {1.0, 0.0, 0.0};
  const double unitZ[3] = {0.0, 0.0, 1.0};
  Rotate(q, unitX, plusX);
  Rotate(q, unitZ, plusZ);
  const double s = q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w;
  const bool unit = s == 1.0 || !(s > 0.0) || !std::isfinite(s);
  for (int i = 0; i < 3; ++i) {
    if (!unit) {
      plusX[i] = (plusX[i] - (1.0 - s) * unitX[i]) / s;
      plusZ[i] = (plusZ[i] - (1.0 - s) * unitZ[i]) / s;
    }
    plusX[i] += 0.0;
    plusZ[i] += 0.0;
  }
}

}  // namespace

Pose Pose::Identity() { return Pose{{0.0f, 0.0f, 0.0f, 1.0f}, {0.0f, 0.0f, 0.0f}}; }

bool Pose::IsIdentity() const { return *this == Identity(); }

bool Pose::operator==(const Pose& other) const {
  for (int i = 0; i < 4; ++i) {
    if (rotation[i] != other.rotation[i]) return false;
  }
  for (int i = 0; i < 3; ++i) {
    if (translation[i] != other.translation[i]) return false;
  }
  return true;
}

bool PoseFromAxes(const double position[3], const double plusX[3], const double plusZ[3], Pose* out) {
  const double xx = Dot(plusX, plusX);
  const double zz = Dot(plusZ, plusZ);
  // The negated form also rejects NaN lengths.
  if (!(xx > 0.0) || !(zz > 0.0) || !std::isfinite(xx) || !std::isfinite(zz)) return false;
  // A position beyond float range would be stored as an infinity, which the
  // writer puts down as 1e+9999 and no reader takes back.
  for (int i = 0; i < 3; ++i) {
    if (!(std::fabs(position[i]) <= std::numeric_limits<float>::max())) return false;
  }
  double x[3], z[3];
  for (int i = 0; i < 3; ++i) {
    x[i] = plusX[i] / std::sqrt(xx);
    z[i] = plusZ[i] / std::sqrt(zz);
  }
  const double xz = Dot(x, z);
  if (std::fabs(xz) > 0.001) return false;

  // The component of X along Z is removed so that Z is met exactly.
  double xPerp[3];
  for (int i = 0; i < 3; ++i) xPerp[i] = x[i] - xz * z[i];
  const double perpLength = std::sqrt(Dot(xPerp, xPerp));
  for (double& c : xPerp) c /= perpLength;

  // Shortest arc from +Z onto Z: axis +Z x Z, half the angle folded in by
  // normalising (+Z x Z, 1 + +Z.Z). Near -Z, 1 + z2 loses its digits to
  // cancellation, and the pose read back from its own axes moved a little
  // on every write; for a unit Z it equals (z0^2 + z1^2) / (1 - z2), which
  // keeps them.
  const double onePlusZ2 = z[2] < 0.0 ? (z[0] * z[0] + z[1] * z[1]) / (1.0 - z[2]) : 1.0 + z[2];
  Quat q1 = {-z[1], z[0], 0.0, onePlusZ2};
  const double q1Norm = std::sqrt(q1.x * q1.x + q1.y * q1.y + q1.w * q1.w);
  if (q1Norm < 1e-150) {
    q1 = {1.0, 0.0, 0.0, 0.0};  // Z is -Z: a half turn about +X
  } else {
    q1 = {q1.x / q1Norm, q1.y / q1Norm, 0.0, q1.w / q1Norm};
  }

  // The turn about +Z that brings +X onto where q1 must not move X.
  const Quat q1Inverse = {-q1.x, -q1.y, -q1.z, q1.w};
  double v[3];
  Rotate(q1Inverse, xPerp, v);
  const double halfAngle = 0.5 * std::atan2(v[1], v[0]);
  const Quat q2 = {0.0, 0.0, std::sin(halfAngle), std::cos(halfAngle)};

  Quat q = Multiply(q1, q2);
  if (q.w < 0.0) q = {-q.x, -q.y, -q.z, -q.w};
  double components[4] = {q.x, q.y, q.z, q.w};
  for (int i = 0; i < 4; ++i) {
    if (std::fabs(components[i]) < 1e-10) components[i] = 0.0;
    out->rotation[i] = static_cast<float>(components[i]);
  }
  for (int i = 0; i < 3; ++i) {
    out->translation[i] = static_cast<float>(position[i]);
    out->readPlusX[i] = plusX[i] + 0.0;  // no "-0" written back
    out->readPlusZ[i] = plusZ[i] + 0.0;
  }
  out->hasReadAxes = true;
  return true;
}

void AxesFromPose(const Pose& pose, double position[3], double plusX[3], double plusZ[3]) {
  for (int i = 0; i < 3; ++i) position[i] = pose.translation[i] + 0.0;
  // Axes are read back as a float quaternion, which may differ from this one
  // in its last bits (always, when this one is far off unit length) and give
  // axes that differ again: the pose would move a little on every write. A
  // quaternion that reads back as itself from its own axes is written so.
  const Quat own = RotationOf(pose);
  const double origin[3] = {0.0, 0.0, 0.0};
  Pose back;
  RotationAxes(own, plusX, plusZ);
  if (!PoseFromAxes(origin, plusX, plusZ, &back) || Same(own, RotationOf(back))) return;
  Quat q = RotationOf(back);
  // Axes the pose was read from and reads back as stay as they are.
  if (pose.hasReadAxes && PoseFromAxes(origin, pose.readPlusX, pose.readPlusZ, &back) &&
      Same(own, RotationOf(back))) {
    std::copy(pose.readPlusX, pose.readPlusX + 3, plusX);
    std::copy(pose.readPlusZ, pose.readPlusZ + 3, plusZ);
    return;
  }
  // Otherwise a round or two of reading axes back finds a quaternion that
  // reads back as itself. Near a half turn there may be none close by: the
  // small component moves by one unit in the last place on every read. The
  // pose's own axes are written then; the next run reads them as a pose that
  // is not its own fixed point, and writes the same axes again.
  for (int round = 0; round < kMaxReadBackRounds; ++round) {
    double x[3], z[3];
    RotationAxes(q, x, z);
    if (!PoseFromAxes(origin, x, z, &back)) break;
    if (Same(q, RotationOf(back))) {
      std::copy(x, x + 3, plusX);
      std::copy(z, z + 3, plusZ);
      return;
    }
    q = RotationOf(back);
  }
  RotationAxes(own, plusX, plusZ);
}

bool AxesAreIdentity(const Pose& pose) {
  double position[3], plusX[3], plusZ[3];
  AxesFromPose(pose, position, plusX, plusZ);
  const double identity[3][3] = {{0, 0, 0}, {1, 0, 0}, {0, 0, 1}};
  for (int i = 0; i < 3; ++i) {
    if (position[i] != identity[0][i] || plusX[i] != identity[1][i] || plusZ[i] != identity[2][i])
      return false;
  }
  return true;
}
