#!/usr/bin/env bash
# Calibration imports through the real binary: each import's message and
# copy group, the option conflicts, the display serial precedence, the lens
# sanity check, and the stops that keep every output from being written.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

DEVICE='"device": {"eye_target_width_in_pixels": 100, "eye_target_height_in_pixels": 100, "num_windows": 2,
  "first_eye": "eEYE_LEFT", "last_eye": "eEYE_RIGHT"}'

# The working document: a calibrated left eye with eye_to_head and a blank
# right eye, in the legacy form (no "imu", no "head").
cat >base.json <<EOF
{"device_class": "hmd", $DEVICE, "device_serial_number": "SBH-BASE", "model_number": "PO Base",
 "firmware_config": {"fan_mode": "auto"}, "mfg_build_info": {"line": "A7"},
 "tracked_camera": {"name": "old", "head_from_camera": [0, 0, 0, 1, 0.5, 0, 0]},
 "tracking_to_eye_transform": [
  {"display_serial_number": "BASE-L", "intrinsics": [[1, 0, 0.25], [0, 1, 0.125], [0, 0, 1]],
   "distortion": {"type": "DISTORT_DPOLY3", "center_x": 0.25, "center_y": 0.125, "coeffs": [0.5]},
   "grow_for_undistort": 0.5, "eye_to_head": [[1, 0, 0], [0, 1, 0], [0, 0, 1]],
   "scanout_scaling": {"base": [0, 0, 100, 100]}},
  {"display_serial_number": "BASE-R"}]}
EOF

# A lens calibration: both eyes calibrated, each with its own eye_to_head.
cat >lens.json <<EOF
{"device_class": "hmd", $DEVICE, "device_serial_number": "SBH-LENS",
 "tracking_to_eye_transform": [
  {"display_serial_number": "LENS-L", "intrinsics": [[2, 0, 0.5], [0, 2, 0.75], [0, 0, 1]],
   "distortion": {"type": "DISTORT_POLY3", "center_x": 0.5, "center_y": 0.75, "coeffs": [1, 2]},
   "undistort_r2_cutoff": 3, "grow_for_undistort": 7, "eye_to_head": [[0, 1, 0], [1, 0, 0], [0, 0, 1]]},
  {"display_serial_number": "LENS-R", "intrinsics": [[2, 0, -0.5], [0, 2, 0.75], [0, 0, 1]],
   "distortion": {"type": "DISTORT_POLY3", "center_x": -0.5, "center_y": 0.75, "coeffs": [1, 3]},
   "eye_to_head": [[0, 0, 1], [0, 1, 0], [1, 0, 0]]}]}
EOF

# A centering calibration: only its center terms may travel.
cat >centering.json <<EOF
{"device_class": "hmd", $DEVICE,
 "tracking_to_eye_transform": [
  {"intrinsics": [[9, 9, 1.5], [9, 9, 1.25], [9, 9, 2]],
   "distortion": {"type": "DISTORT_DPOLY3", "center_x": 1.5, "center_y": 1.25, "coeffs": [9]}},
  {"intrinsics": [[9, 9, -1.5], [9, 9, 1.25], [9, 9, 2]],
   "distortion": {"type": "DISTORT_DPOLY3", "center_x": -1.5, "center_y": 1.25, "coeffs": [9]}}]}
EOF

cat >sensor.json <<'EOF'
{"device_class": "controller", "device_serial_number": "SBC-SENSOR",
 "skybeacon_config": {"channelMap": [1, 0], "modelPoints": [[0.5, 0, 1], [0, -0.25, 2]],
                      "modelNormals": [[0, 0, 2], [0, 0, 1]]}}
EOF
cat >ipd.json <<'EOF'
{"device_class": "controller", "ipd": {"low_mm": 60, "high_mm": 70, "enable": true, "default_mm": 64},
 "proximity": {"enable": true}}
EOF
cat >imu.json <<'EOF'
{"device_class": "controller", "imu": {"gyro_bias": [0.5, 0, 0], "acc_scale": [2, 2, 2],
 "position": [1, 0, 0], "plus_x": [1, 0, 0], "plus_z": [0, 0, 1]},
 "head": {"position": [0, 1, 0], "plus_x": [1, 0, 0], "plus_z": [0, 0, 1]}}
EOF
cat >cameras.json <<'EOF'
{"device_class": "controller", "isps": [{"driver": "isp_a"}],
 "tracked_cameras": [{"name": "a", "intrinsics": {"width": 8}}, {"name": "b"}]}
EOF
# An HMD document without its "device" section does not load.
echo '{"device_class": "hmd"}' >no_device.json

QUIET=(/PrintMfgBuildInfo no_such_key)

# The named section of the document printed by the last run, as written:
# from its member line to the line that closes it at the first level.
section() {
  sed -n "/^   \"$1\" : /,/^   []}]/p" "$OUT"
}

expect_section() {
  local name=$1
  cat >"$TEST_DIR/.section"
  section "$name" >"$TEST_DIR/.actual"
  cmp -s "$TEST_DIR/.actual" "$TEST_DIR/.section" || fail "section $name differs:
$(diff "$TEST_DIR/.section" "$TEST_DIR/.actual" | head -30)"
}

# What the base document's eyes look like written back unchanged.
BASE_LEFT='      {
         "display_serial_number" : "BASE-L",
         "distortion" : {
            "center_x" : 0.25,
            "center_y" : 0.125,
            "coeffs" : [ 0.5 ],
            "type" : "DISTORT_DPOLY3"
         },
         "eye_to_head" : [
            [ 1, 0, 0 ],
            [ 0, 1, 0 ],
            [ 0, 0, 1 ]
         ],
         "grow_for_undistort" : 0.5,
         "intrinsics" : [
            [ 1, 0, 0.25 ],
            [ 0, 1, 0.125 ],
            [ 0, 0, 1 ]
         ],
         "scanout_scaling" : {
            "base" : [ 0, 0, 100, 100 ]
         }
      },'

begin_case "sensor, IPD, IMU and camera imports in their order, each announced"
run_tool /CameraCal cameras.json /ImuCal imu.json /IpdCal ipd.json /SensorCal sensor.json /InputFile base.json \
  /OutputFile out.json
expect_exit 0
expect_stdout_equals $'Sensor cal file: \'sensor.json\'\nipd cal file: \'ipd.json\'\nIMU calibration: \'imu.json\'\nCamera calibration: \'cameras.json\'\nWrote \'out.json\'\n'
expect_stderr_empty

begin_case "the sensor model comes whole, renormalised normals and the hash with it"
run_tool /InputFile base.json /SensorCal sensor.json /OutputStdout /PrintComputedSerial
expect_exit 0
expect_section skybeacon_config <<'EOF'
   "skybeacon_config" : {
      "channelMap" : [ 1, 0 ],
      "modelNormals" : [
         [ 0, 0, 1 ],
         [ 0, 0, 1 ]
      ],
      "modelPoints" : [
         [ 0.5, 0, 1 ],
         [ 0, -0.25, 2 ]
      ]
   },
EOF
[ "$(tail -n 1 "$OUT")" = "computedserial: bcdcd4c73a12f44bbc3974ab7aa06736" ] || fail "computed serial line"
expect_stdout_lacks "Sensor cal file"
expect_stdout_contains '"device_serial_number" : "SBH-BASE"'

begin_case "the IPD record is copied, the proximity values are not"
run_tool /InputFile base.json /IpdCal ipd.json /OutputStdout
expect_exit 0
expect_stdout_contains "ipd cal file: 'ipd.json'"
expect_section ipd <<'EOF'
   "ipd" : {
      "default_mm" : 64,
      "enable" : true,
      "high_mm" : 70,
      "low_mm" : 60
   },
EOF
expect_stdout_lacks '"proximity"'

begin_case "the IMU import takes the calibration, not the poses"
run_tool /InputFile base.json /ImuCal imu.json /OutputStdout
expect_exit 0
expect_section imu <<'EOF'
   "imu" : {
      "acc_scale" : [ 2, 2, 2 ],
      "gyro_bias" : [ 0.5, 0, 0 ]
   },
EOF
expect_stdout_lacks '"head"'

begin_case "an import leaves the written form alone: /NoReformat keeps a legacy document legacy"
run_tool /InputFile base.json /ImuCal imu.json /NoReformat /OutputStdout
expect_exit 0
expect_stdout_contains '   "acc_scale" : [ 2, 2, 2 ],'
expect_stdout_contains '   "gyro_bias" : [ 0.5, 0, 0 ],'
expect_stdout_lacks '"imu"'

begin_case "the camera import replaces the camera list and the devices"
run_tool /InputFile base.json /CameraCal cameras.json /OutputStdout
expect_exit 0
expect_stdout_contains "Camera calibration: 'cameras.json'"
expect_stdout_lacks '"tracked_camera" :'
expect_stdout_lacks '"old"'
expect_section isps <<'EOF'
   "isps" : [
      {
         "driver" : "isp_a"
      }
   ],
EOF
expect_stdout_contains '            "width" : 8'
expect_stdout_contains '         "name" : "b"'

begin_case "a missing import file stops the run with the load error, before any output"
run_tool /InputFile base.json /IpdCal missing.json /OutputFile out2.json /OutputStdout
expect_exit 1
expect_stdout_equals $'Error reading \'missing.json\': Error: file is empty or does not exist\n'
[ ! -e out2.json ] || fail "out2.json was written"

begin_case "an import document that fails validation stops with its error"
run_tool /SensorCal sensor.json /LensCal no_device.json
expect_exit 1
expect_stdout_equals $'Sensor cal file: \'sensor.json\'\nError reading \'no_device.json\': Error: missing values from "device" section\n'

begin_case "quiet mode keeps the progress lines out, not the errors"
run_tool /InputFile base.json /ImuCal imu.json /IpdCal missing.json "${QUIET[@]}"
expect_exit 1
expect_stdout_equals $'Error reading \'missing.json\': Error: file is empty or does not exist\n'

begin_case "/LensIntrinsics with /LensCentering stops after the earlier imports"
run_tool /InputFile base.json /SensorCal sensor.json /IpdCal ipd.json /ImuCal imu.json /CameraCal cameras.json \
  /LensIntrinsics lens.json /LensCentering centering.json /OutputFile out3.json
expect_exit 1
expect_stdout_equals $'Sensor cal file: \'sensor.json\'\nipd cal file: \'ipd.json\'\nIMU calibration: \'imu.json\'\nCamera calibration: \'cameras.json\'\nError: Cannot specify both /LensIntrinsics and /LensCentering\n'
[ ! -e out3.json ] || fail "out3.json was written"

begin_case "/LensIntrinsics with a one-eye intrinsics import"
run_tool /LensIntrinsics lens.json /LensIntrinsicsRight lens.json
expect_exit 1
expect_stdout_equals $'Error: Cannot specify both /LensIntrinsics and /LensIntrinsics{Left,Right}\n'

begin_case "the centering conflict is reported first, before any lens file is read"
run_tool /LensIntrinsicsLeft missing.json /LensCentering missing.json /LensIntrinsics missing.json
expect_exit 1
expect_stdout_equals $'Error: Cannot specify both /LensIntrinsics and /LensCentering\n'

begin_case "/LensCentering alone needs no conflict check"
run_tool /LensCentering centering.json /LensIntrinsicsLeft lens.json "${QUIET[@]}"
expect_exit 0
expect_stdout_equals ''

begin_case "display serial numbers outrank /LensIntrinsics, whose file is never opened"
run_tool /InputFile base.json /DisplaySerialNums L-9 R-9 /LensIntrinsics missing.json /OutputStdout
expect_exit 0
expect_stdout_contains $'Display Serial Numbers: Left=\'L-9\', Right=\'R-9\''
expect_stdout_lacks 'Lens intrinsics file'
expect_section tracking_to_eye_transform <<EOF
   "tracking_to_eye_transform" : [
${BASE_LEFT/BASE-L/L-9}
      {
         "display_serial_number" : "R-9"
      }
   ]
EOF

begin_case "display serial numbers outrank /LensCentering too; an empty one empties the field"
run_tool /InputFile base.json /DisplaySerialNums '' R-9 /LensCentering missing.json /OutputStdout
expect_exit 0
expect_stdout_contains $'Display Serial Numbers: Left=\'\', Right=\'R-9\''
expect_stdout_contains '"display_serial_number" : "",'
expect_stdout_lacks 'BASE-L'

begin_case "/LensCal takes every lens field, then the serial numbers are replaced"
run_tool /InputFile base.json /LensCal lens.json /DisplaySerialNums L R /OutputStdout
expect_exit 0
expect_stdout_contains $'Lens cal file: \'lens.json\'\nDisplay Serial Numbers: Left=\'L\', Right=\'R\'\n'
expect_section tracking_to_eye_transform <<'EOF'
   "tracking_to_eye_transform" : [
      {
         "display_serial_number" : "L",
         "distortion" : {
            "center_x" : 0.5,
            "center_y" : 0.75,
            "coeffs" : [ 1, 2 ],
            "type" : "DISTORT_POLY3"
         },
         "eye_to_head" : [
            [ 0, 1, 0 ],
            [ 1, 0, 0 ],
            [ 0, 0, 1 ]
         ],
         "grow_for_undistort" : 7,
         "intrinsics" : [
            [ 2, 0, 0.5 ],
            [ 0, 2, 0.75 ],
            [ 0, 0, 1 ]
         ],
         "undistort_r2_cutoff" : 3
      },
      {
         "display_serial_number" : "R",
         "distortion" : {
            "center_x" : -0.5,
            "center_y" : 0.75,
            "coeffs" : [ 1, 3 ],
            "type" : "DISTORT_POLY3"
         },
         "eye_to_head" : [
            [ 0, 0, 1 ],
            [ 0, 1, 0 ],
            [ 1, 0, 0 ]
         ],
         "intrinsics" : [
            [ 2, 0, -0.5 ],
            [ 0, 2, 0.75 ],
            [ 0, 0, 1 ]
         ]
      }
   ]
EOF
# Nothing outside the lens records came along.
expect_stdout_contains '"device_serial_number" : "SBH-BASE"'
expect_stdout_contains '"fan_mode" : "auto"'
expect_stdout_contains '"line" : "A7"'

begin_case "/LensIntrinsics keeps each eye's eye_to_head, grow, scanout and serial number"
run_tool /InputFile base.json /LensIntrinsics lens.json /OutputStdout
expect_exit 0
expect_stdout_contains $'Lens intrinsics file: \'lens.json\'\n'
expect_section tracking_to_eye_transform <<'EOF'
   "tracking_to_eye_transform" : [
      {
         "display_serial_number" : "BASE-L",
         "distortion" : {
            "center_x" : 0.5,
            "center_y" : 0.75,
            "coeffs" : [ 1, 2 ],
            "type" : "DISTORT_POLY3"
         },
         "eye_to_head" : [
            [ 1, 0, 0 ],
            [ 0, 1, 0 ],
            [ 0, 0, 1 ]
         ],
         "grow_for_undistort" : 0.5,
         "intrinsics" : [
            [ 2, 0, 0.5 ],
            [ 0, 2, 0.75 ],
            [ 0, 0, 1 ]
         ],
         "scanout_scaling" : {
            "base" : [ 0, 0, 100, 100 ]
         },
         "undistort_r2_cutoff" : 3
      },
      {
         "display_serial_number" : "BASE-R",
         "distortion" : {
            "center_x" : -0.5,
            "center_y" : 0.75,
            "coeffs" : [ 1, 3 ],
            "type" : "DISTORT_POLY3"
         },
         "intrinsics" : [
            [ 2, 0, -0.5 ],
            [ 0, 2, 0.75 ],
            [ 0, 0, 1 ]
         ]
      }
   ]
EOF

begin_case "/LensCentering moves only the center terms; the coefficients stay"
run_tool /InputFile base.json /LensCentering centering.json /OutputStdout
expect_exit 0
expect_stdout_contains $'Lens centering file: \'centering.json\'\n'
expect_section tracking_to_eye_transform <<'EOF'
   "tracking_to_eye_transform" : [
      {
         "display_serial_number" : "BASE-L",
         "distortion" : {
            "center_x" : 1.5,
            "center_y" : 1.25,
            "coeffs" : [ 0.5 ],
            "type" : "DISTORT_DPOLY3"
         },
         "eye_to_head" : [
            [ 1, 0, 0 ],
            [ 0, 1, 0 ],
            [ 0, 0, 1 ]
         ],
         "grow_for_undistort" : 0.5,
         "intrinsics" : [
            [ 1, 0, 1.5 ],
            [ 0, 1, 1.25 ],
            [ 0, 0, 2 ]
         ],
         "scanout_scaling" : {
            "base" : [ 0, 0, 100, 100 ]
         }
      },
      {
         "display_serial_number" : "BASE-R",
         "distortion" : {
            "center_x" : -1.5,
            "center_y" : 1.25
         },
         "intrinsics" : [
            [ 1, 0, -1.5 ],
            [ 0, 1, 1.25 ],
            [ 0, 0, 2 ]
         ]
      }
   ]
EOF

begin_case "one-eye intrinsics imports touch one eye each"
run_tool /InputFile base.json /LensIntrinsicsRight lens.json /OutputStdout
expect_exit 0
expect_stdout_contains $'Lens intrinsics file (RIGHT): \'lens.json\'\n'
section tracking_to_eye_transform | head -n $(($(echo "$BASE_LEFT" | wc -l) + 1)) >left.txt
{ echo '   "tracking_to_eye_transform" : ['; echo "$BASE_LEFT"; } >expected_left.txt
cmp -s left.txt expected_left.txt || fail "the left eye changed: $(diff expected_left.txt left.txt | head)"
expect_stdout_contains '            [ 2, 0, -0.5 ],'
run_tool /InputFile base.json /LensIntrinsicsLeft lens.json /LensIntrinsicsRight lens.json /OutputStdout
expect_stdout_contains $'Lens intrinsics file (LEFT): \'lens.json\'\nLens intrinsics file (RIGHT): \'lens.json\'\n'
expect_stdout_contains '            [ 2, 0, 0.5 ],'
expect_stdout_contains '            [ 2, 0, -0.5 ],'

begin_case "/LensEyeToHead copies matrices; only an eye that had one writes it"
run_tool /InputFile base.json /LensEyeToHead lens.json /OutputStdout
expect_exit 0
expect_stdout_contains $'Eye To Head file: \'lens.json\'\n'
expect_section tracking_to_eye_transform <<EOF
   "tracking_to_eye_transform" : [
${BASE_LEFT/\[ 1, 0, 0 \],
            \[ 0, 1, 0 \],
            \[ 0, 0, 1 \]/[ 0, 1, 0 ],
            [ 1, 0, 0 ],
            [ 0, 0, 1 ]}
      {
         "display_serial_number" : "BASE-R"
      }
   ]
EOF

begin_case "/LensEyeToHead on a document without eye_to_head writes none"
run_tool /LensEyeToHead lens.json /OutputStdout
expect_exit 0
expect_stdout_lacks '"eye_to_head"'

begin_case "left and right eye-to-head imports, with their shared message"
run_tool /InputFile base.json /LensEyeToHeadRight lens.json /LensEyeToHeadLeft lens.json /OutputFile out4.json
expect_exit 0
expect_stdout_equals $'Eye To Head file: \'lens.json\'\nEye To Head file: \'lens.json\'\nWrote \'out4.json\'\n'

begin_case "/LensEyeToHead with a one-eye import stops after the intrinsics imports"
run_tool /LensIntrinsicsLeft lens.json /LensEyeToHead lens.json /LensEyeToHeadLeft lens.json /OutputFile out5.json
expect_exit 1
expect_stdout_equals $'Lens intrinsics file (LEFT): \'lens.json\'\nError: Cannot specify both /LensEyeToHead and /LensEyeToHead{Left,Right}\n'
[ ! -e out5.json ] || fail "out5.json was written"

begin_case "the sanity check on the default configuration fails both eyes"
run_tool /SanityCheckLensCal /OutputFile out6.json
expect_exit 1
expect_stdout_equals $'ERROR: Eye 0 appears to not be calibrated!\nERROR: Eye 1 appears to not be calibrated!\n'
[ ! -e out6.json ] || fail "out6.json was written"

begin_case "the sanity check names only the eye that fails"
run_tool /InputFile base.json /SanityCheckLensCal
expect_exit 1
expect_stdout_equals $'ERROR: Eye 1 appears to not be calibrated!\n'

begin_case "a centering of zero on one axis fails the check"
sed 's/"center_x": 1.5/"center_x": 0/' centering.json >centering_zero.json
run_tool /InputFile base.json /LensCal lens.json /LensCentering centering_zero.json /SanityCheckLensCal
expect_exit 1
expect_stdout_equals $'Lens cal file: \'lens.json\'\nLens centering file: \'centering_zero.json\'\nERROR: Eye 0 appears to not be calibrated!\n'

begin_case "the sanity check runs after the imports and passes"
run_tool /InputFile base.json /LensIntrinsics lens.json /SanityCheckLensCal /OutputFile out7.json
expect_exit 0
expect_stdout_equals $'Lens intrinsics file: \'lens.json\'\nPassed SanityCheckLensCal\nWrote \'out7.json\'\n'

begin_case "a passed sanity check is quiet in quiet mode"
run_tool /LensCal lens.json /SanityCheckLensCal /PrintModelNumber
expect_exit 0
expect_stdout_equals ''

finish
