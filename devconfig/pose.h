// A rigid transform as the configuration document stores it, and its
// conversion to and from the axes form ("position", "plus_x", "plus_z").
#pragma once

struct Pose {
  float rotation[4];     // quaternion x, y, z, w (scalar last)
  float translation[3];  // metres
  // The axes the pose was last read from (see AxesFromPose); not part of
  // what the pose is, so not compared.
  bool hasReadAxes = false;
  double readPlusX[3] = {};
  double readPlusZ[3] = {};

  static Pose Identity();
  // Exactly (0, 0, 0, 1, 0, 0, 0); no tolerance.
  bool IsIdentity() const;
  bool operator==(const Pose& other) const;
  bool operator!=(const Pose& other) const { return !(*this == other); }
};

// The pose whose rotation takes +Z onto plusZ and +X onto plusX, which it
// keeps as the axes it was read from. Fails (and leaves *out alone) when an
// axis is zero or the two are not perpendicular within 0.001, or the
// position lies beyond float range.
bool PoseFromAxes(const double position[3], const double plusX[3], const double plusZ[3], Pose* out);
// A quaternion that is not of unit length stands for the rotation of its
// unit form (the zero quaternion: no rotation). The axes are chosen so that
// a pose written and read back writes the same axes again: those of the
// float quaternion PoseFromAxes reads them back as, found by reading them
// back a few rounds; when no such quaternion turns up, the axes the pose was
// read from, if they read back as it.
void AxesFromPose(const Pose& pose, double position[3], double plusX[3], double plusZ[3]);
// True when AxesFromPose gives exactly the axes of the identity pose, which
// the document leaves out, whatever the seven values are ((0, 0, 0, -1), a
// scaled identity quaternion...).
bool AxesAreIdentity(const Pose& pose);
