Calibration imports. hmd FILE MEMBERS: the legacy HMD example with MEMBERS. base.json: left
eye calibrated with eye_to_head, right eye blank; lens.json: both eyes calibrated, another
serial; centering.json: center terms. eyes FILE: a line an eye.

  $ hmd() { jq ". + $2" $EXAMPLES/hmd_legacy.json >$1; }; eyes() { jq -c '.tracking_to_eye_transform[]' "$1" | tr -d '"'; }
  $ hmd base.json '{tracked_camera: {name: "old"}, tracking_to_eye_transform: [{display_serial_number: "BASE-L",
  >   intrinsics: [[1, 0, 0.25], [0, 1, 0.125], [0, 0, 1]], grow_for_undistort: 0.5, scanout_scaling: {base: [0, 0, 9, 9]},
  >   distortion: {type: "DISTORT_DPOLY3", center_x: 0.25, center_y: 0.125, coeffs: [0.5]}, eye_to_head: [[1, 0, 0], [0, 1, 0], [0, 0, 1]]},
  >   {display_serial_number: "BASE-R"}]}'; Q='/PrintMfgBuildInfo no_such_key'
  $ hmd lens.json '{device_serial_number: "SBH-LENS", firmware_config: {}, tracking_to_eye_transform: [{display_serial_number: "LENS-L",
  >   intrinsics: [[2, 0, 0.5], [0, 2, 0.75], [0, 0, 1]], distortion: {type: "DISTORT_POLY3", center_x: 0.5, center_y: 0.75,
  >   coeffs: [1, 2]}, undistort_r2_cutoff: 3, grow_for_undistort: 7, eye_to_head: [[0, 1, 0], [1, 0, 0], [0, 0, 1]]},
  >   {display_serial_number: "LENS-R", intrinsics: [[2, 0, -0.5], [0, 2, 0.75], [0, 0, 1]], distortion: {type: "DISTORT_POLY3",
  >   center_x: -0.5, center_y: 0.75, coeffs: [1, 3]}, eye_to_head: [[0, 0, 1], [0, 1, 0], [1, 0, 0]]}]}'
  $ hmd centering.json '{tracking_to_eye_transform: [{intrinsics: [[9, 9, 1.5], [9, 9, 1.25], [9, 9, 2]], distortion: {type: "DISTORT_DPOLY3",
  >   center_x: 1.5, center_y: 1.25, coeffs: [9]}}, {intrinsics: [[9, 9, -1.5], [9, 9, 1.25], [9, 9, 2]],
  >   distortion: {type: "DISTORT_DPOLY3", center_x: -1.5, center_y: 1.25, coeffs: [9]}}]}'
  $ echo '{"skybeacon_config": {"channelMap": [1, 0], "modelPoints": [[0.5, 0, 1], [0, -0.25, 2]], "modelNormals": [[0, 0, 2], [0, 0, 1]]}}' >sensor.json
  $ echo '{"device_class": "controller", "ipd": {"low_mm": 60, "high_mm": 70, "enable": true}, "proximity": {"enable": true}}' >ipd.json
  $ echo '{"imu": {"gyro_bias": [0.5, 0, 0], "acc_scale": [2, 2, 2], "position": [1, 0, 0]}, "head": {"position": [0, 1, 0]}}' >imu.json
  $ echo '{"device_class": "controller", "isps": [{"driver": "isp_a"}], "tracked_cameras": [{"name": "a"}, {"name": "b"}]}' >cameras.json

Sensor, IPD, IMU and camera imports run in that order, each announced, each taking its group: the
sensor model (normals renormalised), the IPD record not proximity, the IMU calibration not the
poses, cameras and devices in place of the old camera.

  $ sbconfigtool /CameraCal cameras.json /ImuCal imu.json /IpdCal ipd.json /SensorCal sensor.json /InputFile base.json /OutputFile out.json
  Sensor cal file: 'sensor.json'
  ipd cal file: 'ipd.json'
  IMU calibration: 'imu.json'
  Camera calibration: 'cameras.json'
  Wrote 'out.json'
  $ jq -c '.skybeacon_config, [.device_serial_number, .ipd, .proximity, .imu, .head, .isps, [.tracked_cameras[].name], .tracked_camera]' out.json
  {"channelMap":[1,0],"modelNormals":[[0,0,1],[0,0,1]],"modelPoints":[[0.5,0,1],[0,-0.25,2]]}
  ["SBH-1903-0311",{"enable":true,"high_mm":70,"low_mm":60},null,{"acc_scale":[2,2,2],"gyro_bias":[0.5,0,0],"plus_x":[-1,0,0],"plus_z":[0,0,1],"position":[0.03125,0,-0.015625]},{"plus_x":[1,0,0],"plus_z":[0,0,1],"position":[0,0.0078125,-0.0546875]},[{"driver":"isp_a"}],["a","b"],null]

An import leaves the written form alone: with /NoReformat the IMU calibration stays at the top.

  $ sbconfigtool /InputFile base.json /ImuCal imu.json /NoReformat $Q /OutputFile out.json; jq -c '[.imu, .acc_scale, .gyro_bias]' out.json
  [null,[2,2,2],[0.5,0,0]]

An import file that does not load or fails validation (an HMD without "device"), or one that
holds none of what it imports (which would empty the section), stops the run with its error
before any output; quiet mode keeps the errors.

  $ echo '{"device_class": "hmd"}' >no_device.json; rm out.json; for args in '/SensorCal sensor.json /LensCal no_device.json' "/ImuCal imu.json /IpdCal missing.json $Q" '/SensorCal ipd.json' \
  >   '/IpdCal sensor.json' '/ImuCal ipd.json' '/CameraCal imu.json' "/LensEyeToHeadLeft ipd.json $Q"; do
  >   row sbconfigtool /InputFile base.json $args /OutputFile out.json /OutputStdout; done; test ! -e out.json
  Sensor cal file: 'sensor.json'|Error reading 'no_device.json': Error: missing values from "device" section|[1]
  Error reading 'missing.json': Error: file is empty or does not exist|[1]
  Error reading 'ipd.json': Error: it holds no sensor calibration ("skybeacon_config" with "modelPoints" and "modelNormals")|[1]
  Error reading 'sensor.json': Error: it holds no ipd calibration ("ipd" or "minimum_ipd_step")|[1]
  Error reading 'ipd.json': Error: it holds no imu calibration ("gyro_bias", "gyro_scale", "acc_bias" or "acc_scale" in "imu", or "gyro_bias" at the top level)|[1]
  Error reading 'imu.json': Error: it holds no camera calibration ("tracked_camera", "tracked_camera1", "second_tracked_camera" or "tracked_cameras")|[1]
  Error reading 'ipd.json': Error: it holds no lens calibration ("tracking_to_eye_transform")|[1]

Conflicting lens imports stop the run before any import, nothing written; the centering
conflict comes before any lens file is read; centering with one eye's intrinsics is fine.

  $ for args in '/LensIntrinsics lens.json /LensIntrinsicsRight lens.json' \
  >   '/SensorCal sensor.json /LensIntrinsicsLeft missing.json /LensCentering missing.json /LensIntrinsics missing.json' \
  >   '/LensIntrinsicsLeft lens.json /LensEyeToHead lens.json /LensEyeToHeadLeft lens.json' \
  >   '/LensCentering centering.json /LensIntrinsicsLeft lens.json'; do row sbconfigtool $args /OutputFile out.json; done
  Error: Cannot specify both /LensIntrinsics and /LensIntrinsics{Left,Right}|[1]
  Error: Cannot specify both /LensIntrinsics and /LensCentering|[1]
  Error: Cannot specify both /LensEyeToHead and /LensEyeToHead{Left,Right}|[1]
  Lens centering file: 'centering.json'|Lens intrinsics file (LEFT): 'lens.json'|Wrote 'out.json'|Warning: 'out.json' will not load back: missing values from "device" section|[0]

/LensCal takes every lens field of both eyes, nothing else; /DisplaySerialNums replaces the serials.

  $ sbconfigtool /InputFile base.json /LensCal lens.json /DisplaySerialNums L R /OutputFile out.json; eyes out.json
  Lens cal file: 'lens.json'
  Display Serial Numbers: Left='L', Right='R'
  Wrote 'out.json'
  {display_serial_number:L,distortion:{center_x:0.5,center_y:0.75,coeffs:[1,2],type:DISTORT_POLY3},eye_to_head:[[0,1,0],[1,0,0],[0,0,1]],grow_for_undistort:7,intrinsics:[[2,0,0.5],[0,2,0.75],[0,0,1]],undistort_r2_cutoff:3}
  {display_serial_number:R,distortion:{center_x:-0.5,center_y:0.75,coeffs:[1,3],type:DISTORT_POLY3},eye_to_head:[[0,0,1],[0,1,0],[1,0,0]],intrinsics:[[2,0,-0.5],[0,2,0.75],[0,0,1]]}
  $ jq -c '[.device_serial_number, .firmware_config]' out.json
  ["SBH-1903-0311",{"fan_mode":"quiet","imu_rate_hz":500}]

Display serial numbers outrank /LensIntrinsics and /LensCentering, whose files are then never
opened; an empty one empties the field.

  $ sbconfigtool /InputFile base.json /DisplaySerialNums '' R-9 /LensIntrinsics missing.json /OutputFile out.json; eyes out.json
  Display Serial Numbers: Left='', Right='R-9'
  Wrote 'out.json'
  {display_serial_number:,distortion:{center_x:0.25,center_y:0.125,coeffs:[0.5],type:DISTORT_DPOLY3},eye_to_head:[[1,0,0],[0,1,0],[0,0,1]],grow_for_undistort:0.5,intrinsics:[[1,0,0.25],[0,1,0.125],[0,0,1]],scanout_scaling:{base:[0,0,9,9]}}
  {display_serial_number:R-9}
  $ sbconfigtool /InputFile base.json /DisplaySerialNums '' R-9 /LensCentering missing.json /OutputFile out2.json $Q; cmp out.json out2.json

/LensIntrinsics keeps each eye's eye_to_head, grow, scanout and serial, as the two one-eye imports
do together; one alone touches its eye alone.

  $ sbconfigtool /InputFile base.json /LensIntrinsics lens.json /OutputFile out.json; eyes out.json
  Lens intrinsics file: 'lens.json'
  Wrote 'out.json'
  {display_serial_number:BASE-L,distortion:{center_x:0.5,center_y:0.75,coeffs:[1,2],type:DISTORT_POLY3},eye_to_head:[[1,0,0],[0,1,0],[0,0,1]],grow_for_undistort:0.5,intrinsics:[[2,0,0.5],[0,2,0.75],[0,0,1]],scanout_scaling:{base:[0,0,9,9]},undistort_r2_cutoff:3}
  {display_serial_number:BASE-R,distortion:{center_x:-0.5,center_y:0.75,coeffs:[1,3],type:DISTORT_POLY3},intrinsics:[[2,0,-0.5],[0,2,0.75],[0,0,1]]}
  $ sbconfigtool /InputFile base.json /LensIntrinsicsLeft lens.json /LensIntrinsicsRight lens.json /OutputFile out2.json $Q; cmp out.json out2.json
  $ sbconfigtool /InputFile base.json /LensIntrinsicsRight lens.json /OutputFile out2.json; eyes out2.json
  Lens intrinsics file (RIGHT): 'lens.json'
  Wrote 'out2.json'
  {display_serial_number:BASE-L,distortion:{center_x:0.25,center_y:0.125,coeffs:[0.5],type:DISTORT_DPOLY3},eye_to_head:[[1,0,0],[0,1,0],[0,0,1]],grow_for_undistort:0.5,intrinsics:[[1,0,0.25],[0,1,0.125],[0,0,1]],scanout_scaling:{base:[0,0,9,9]}}
  {display_serial_number:BASE-R,distortion:{center_x:-0.5,center_y:0.75,coeffs:[1,3],type:DISTORT_POLY3},intrinsics:[[2,0,-0.5],[0,2,0.75],[0,0,1]]}

/LensCentering moves only the center terms, of the intrinsics and the distortion.

  $ sbconfigtool /InputFile base.json /LensCentering centering.json /OutputFile out.json; eyes out.json
  Lens centering file: 'centering.json'
  Wrote 'out.json'
  {display_serial_number:BASE-L,distortion:{center_x:1.5,center_y:1.25,coeffs:[0.5],type:DISTORT_DPOLY3},eye_to_head:[[1,0,0],[0,1,0],[0,0,1]],grow_for_undistort:0.5,intrinsics:[[1,0,1.5],[0,1,1.25],[0,0,2]],scanout_scaling:{base:[0,0,9,9]}}
  {display_serial_number:BASE-R,distortion:{center_x:-1.5,center_y:1.25},intrinsics:[[1,0,-1.5],[0,1,1.25],[0,0,2]]}

/LensEyeToHead copies the matrices, but only into an eye that had one; so do the one-eye imports.

  $ sbconfigtool /InputFile base.json /LensEyeToHead lens.json /OutputFile out.json; eyes out.json
  Eye To Head file: 'lens.json'
  Wrote 'out.json'
  {display_serial_number:BASE-L,distortion:{center_x:0.25,center_y:0.125,coeffs:[0.5],type:DISTORT_DPOLY3},eye_to_head:[[0,1,0],[1,0,0],[0,0,1]],grow_for_undistort:0.5,intrinsics:[[1,0,0.25],[0,1,0.125],[0,0,1]],scanout_scaling:{base:[0,0,9,9]}}
  {display_serial_number:BASE-R}
  $ sbconfigtool /InputFile base.json /LensEyeToHeadRight lens.json /LensEyeToHeadLeft lens.json /OutputFile out2.json $Q; cmp out.json out2.json

The lens sanity check, after the imports, names each uncalibrated eye (nothing written; what counts
as calibrated: section_json_test.cc), and passes silently in quiet mode.

  $ rm out.json; for args in '' '/InputFile base.json'; do
  >   row sbconfigtool $args /SanityCheckLensCal /OutputFile out.json; done; test ! -e out.json
  ERROR: Eye 0 appears to not be calibrated!|ERROR: Eye 1 appears to not be calibrated!|[1]
  ERROR: Eye 1 appears to not be calibrated!|[1]
  $ sbconfigtool /InputFile base.json /LensIntrinsics lens.json /SanityCheckLensCal /OutputFile out.json
  Lens intrinsics file: 'lens.json'
  Passed SanityCheckLensCal
  Wrote 'out.json'
  $ sbconfigtool /LensCal lens.json /SanityCheckLensCal /PrintModelNumber
