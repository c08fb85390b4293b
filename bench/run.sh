#!/usr/bin/env bash
# Measures sbconfigtool on this machine and prints a table of medians and
# ratios (see bench/README.md). Benchmarks never fail on a time: the exit code
# is 0 whatever the figures, non-zero only when something could not be run.
#
#   bench/run.sh [--quick] [--rounds N] [--build DIR] [--no-build] [--work DIR]
#                [--compare DIR]
#
#   --quick      small documents only, few runs (a smoke test, seconds)
#   --rounds N   hyperfine rounds per group (default 3); a group's runs are
#                spread over the rounds and pooled, so that a burst of load
#                on the machine spreads over every command of a group instead
#                of hitting one; more rounds interleave the commands more
#                finely for about the same number of runs
#   --build DIR  build directory (default build-bench); configured when it
#                has none, and brought up to date
#   --no-build   use the build directory as it is
#   --work DIR   where documents and results go (default DIR/bench-work)
#   --compare DIR  another build directory, used as it is: its sbconfigtool
#                runs beside this build's in the same groups of (a), (b)
#                and (c), and a before/after table ends the output
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(dirname "$here")
quick=0
rounds=3
base_rounds=3
build=$root/build-bench
rebuild=1
work=
other=
while [ $# -gt 0 ]; do
  case $1 in
    --quick) quick=1 ;;
    --rounds) rounds=$2; shift ;;
    --build) build=$2; shift ;;
    --no-build) rebuild=0 ;;
    --work) work=$2; shift ;;
    --compare) other=$2; shift ;;
    -h|--help) sed -n '2,20p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "run.sh: unknown argument '$1'" >&2; exit 2 ;;
  esac
  shift
done
if [ "$quick" = 1 ]; then
  base_rounds=1
  [ "$rounds" = 3 ] && rounds=1
fi
case $build in /*) ;; *) build=$PWD/$build ;; esac
work=${work:-$build/bench-work}
case $work in /*) ;; *) work=$PWD/$work ;; esac
if [ -n "$other" ]; then
  other=$(cd "$other" && pwd)/sbconfigtool
  [ -x "$other" ] || { echo "run.sh: $other is missing" >&2; exit 1; }
fi

# --- Tools: Debian's hyperfine, jq and time; the build needs install-deps.
missing=()
command -v hyperfine >/dev/null || missing+=(hyperfine)
command -v jq >/dev/null || missing+=(jq)
[ -x /usr/bin/time ] || missing+=(time)
command -v python3 >/dev/null || missing+=(python3)
if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" != 0 ]; then
    echo "run.sh: missing ${missing[*]}; install them with: apt-get install -y ${missing[*]}" >&2
    exit 1
  fi
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt_get() { apt-get -o DPkg::Lock::Timeout=600 "$@"; }
  apt_get install -y --no-install-recommends "${missing[@]}" >/dev/null 2>&1 ||
    { apt_get update >/dev/null && apt_get install -y --no-install-recommends "${missing[@]}" >/dev/null; }
fi

if [ "$rebuild" = 1 ]; then
  if [ ! -f "$build/CMakeCache.txt" ]; then
    command -v cmake >/dev/null && pkg-config --exists jsoncpp hidapi-hidraw 2>/dev/null || "$root/scripts/install-deps.sh"
    echo "Configuring $build (tests left out)"
    cmake -S "$root" -B "$build" -DSBCONFIG_TESTS=OFF >/dev/null
  fi
  # Brought up to date, so that the figures belong to the sources.
  cmake --build "$build" -j"$(nproc)" --target sbconfigtool sbheadset-sim headsetsim_hid >/dev/null
fi
for f in sbconfigtool sbheadset-sim headsetsim/lib/libhidapi-hidraw.so.0; do
  [ -e "$build/$f" ] || { echo "run.sh: $build/$f is missing" >&2; exit 1; }
done

tool=$build/sbconfigtool
rm -rf "$work"
mkdir -p "$work/docs" "$work/out" "$work/device"
results=$work/results.tsv
: >"$results"
# The tool syncs every file it writes (outputs, backups), so on a disk a run
# also measures the disk. The main figures write to a RAM file system when
# there is one; the largest document and the device write are measured on
# the build directory's disk as well.
fast=
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
  fast=$(mktemp -d /dev/shm/sbconfigtool-bench.XXXXXX)
  trap 'rm -rf "$fast"' EXIT
fi
out=${fast:-$work/out}
disk=$work/out

# --- The floor program: the same libraries as the tool (its NEEDED list,
# forced in even where the floor itself calls nothing from them, in the
# same order, which is the order the dynamic linker searches them in), so
# both pay the same dynamic linking; built with the build's flags.
floor=$work/bench-floor
flags=$(sed -n 's/^CMAKE_CXX_FLAGS_RELWITHDEBINFO:STRING=//p' "$build/CMakeCache.txt")
buildtype=$(sed -n 's/^CMAKE_BUILD_TYPE:STRING=//p' "$build/CMakeCache.txt")
case $buildtype in
  Release) flags=$(sed -n 's/^CMAKE_CXX_FLAGS_RELEASE:STRING=//p' "$build/CMakeCache.txt") ;;
  Debug) flags=$(sed -n 's/^CMAKE_CXX_FLAGS_DEBUG:STRING=//p' "$build/CMakeCache.txt") ;;
esac
libs=()
sanitized=0
for lib in $(readelf -d "$tool" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p'); do
  case $lib in
    ld-linux*) ;;
    libasan*|libubsan*) sanitized=1 ;;
    *) libs+=("-l:$lib") ;;
  esac
done
# The libraries ahead of the program's own object, so that the compiler's
# implicit ones (libstdc++, libm, libc) keep the places the tool gives them.
# shellcheck disable=SC2086
g++ -std=c++17 $flags $(pkg-config --cflags jsoncpp) -Wl,--no-as-needed "${libs[@]}" \
  "$here/floor.cc" -o "$floor" -Wl,--as-needed

probe=$work/syslog-probe
# shellcheck disable=SC2086
g++ -std=c++17 $flags "$here/syslog_probe.cc" -o "$probe"
sink=$work/syslog-sink
# shellcheck disable=SC2086
g++ -std=c++17 $flags "$here/syslog_sink.cc" -o "$sink"

# --- Documents, each passed once through the tool so that it is in exactly
# the form the tool writes (the latest form).
gen_args=()
[ "$quick" = 1 ] && gen_args=(--quick)
python3 "$here/gen_docs.py" "$work/gen" "${gen_args[@]}"
for f in "$work"/gen/*.json; do
  name=$(basename "$f")
  if ! "$tool" /InputFile "$f" /OutputFile "$work/docs/$name" >/dev/null; then
    echo "run.sh: sbconfigtool could not load the generated $name" >&2
    exit 1
  fi
done
doc=$work/docs
sizes=(100k 1m 10m)
[ "$quick" = 1 ] && sizes=(100k 1m)
[ -f "$doc/scale-1m.json" ] || sizes=(100k)

bytes() { stat -c %s "$1"; }

# Runs one hyperfine group `rounds` times and records, per command name, the
# median of all runs pooled: NAME<TAB>median seconds. Every other round runs
# the commands in the reverse order, so that a change in the machine's load
# does not always fall on the same one. PREPARE, when set, is run before
# every run (not timed); hyperfine runs under the command in the array
# `wrap`, when it holds one.
# RUNS and WARMUP are per round at the default number of rounds.
# group RUNS WARMUP name1 "command1" name2 "command2" ...
wrap=()
per_round() { echo $(((($1) * base_rounds + rounds - 1) / rounds)); }
group() {
  local runs warmup
  runs=$(per_round "$1")
  warmup=$(per_round "$2")
  shift 2
  local names=() commands=() order=() prepare=() r i
  while [ $# -gt 0 ]; do names+=("$1"); commands+=("$2"); shift 2; done
  [ -n "${PREPARE:-}" ] && prepare=(--prepare "$PREPARE")
  for ((r = 0; r < rounds; r++)); do
    order=()
    for i in "${!commands[@]}"; do
      if ((r % 2)); then order=("${commands[$i]}" "${order[@]}"); else order+=("${commands[$i]}"); fi
    done
    "${wrap[@]}" hyperfine -N --style none --warmup "$warmup" --runs "$runs" "${prepare[@]}" \
      --export-json "$work/hf-$r.json" "${order[@]}" >/dev/null 2>"$work/hf.err" || {
      cat "$work/hf.err" >&2
      echo "run.sh: hyperfine failed on: ${commands[*]}" >&2
      exit 1
    }
  done
  for i in "${!names[@]}"; do
    jq -s --arg c "${commands[$i]}" '[.[].results[] | select(.command == $c) | .times[]] | sort |
       if length % 2 == 1 then .[length / 2 | floor]
       else (.[length / 2 - 1] + .[length / 2]) / 2 end' "$work"/hf-*.json |
      awk -v n="${names[$i]}" '{ printf "%s\t%.9f\n", n, $1 }' >>"$results"
  done
  rm -f "$work"/hf-*.json
}

# Adds NAME and "sbconfigtool ARGS" to the array `cmds`, and with --compare
# other_NAME, the same arguments to the other build's tool.
both() {
  cmds+=("$1" "$tool $2")
  [ -z "$other" ] || cmds+=("other_$1" "$other $2")
}

# Peak resident set size in kB, the median of three runs.
peak() {
  local name=$1
  shift
  for _ in 1 2 3; do
    /usr/bin/time -f '%M' -o "$work/time.out" "$@" >/dev/null 2>&1 || true
    tail -n 1 "$work/time.out"
  done | sort -n | sed -n 2p | awk -v n="$name" '{ print "rss_" n "\t" $1 }' >>"$results"
}

echo "Measuring on $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg) ..."

# --- (a) Typical run: set one firmware_config element, document to stdout.
t=$doc/typical.json
runs=150 jqruns=40
[ "$quick" = 1 ] && runs=20 jqruns=5
edit="/InputFile $t /FirmwareConfigSetElement bench_key int 1 /OutputStdout"
cmds=()
both tool "$edit"
both tool_start /BatchDump
group "$runs" 10 "${cmds[@]}" floor "$floor $t" floor_start "$floor"
# shellcheck disable=SC2086
[ -z "$other" ] || cmp -s <("$tool" $edit) <("$other" $edit) ||
  echo "run.sh: warning: the two builds write the typical run's document differently" >&2
group "$jqruns" 3 jq "jq .firmware_config.bench_key=1 $t"
peak tool_start "$tool" /BatchDump
peak tool "$tool" /InputFile "$t" /FirmwareConfigSetElement bench_key int 1 /OutputStdout
peak floor "$floor" "$t"
peak jq jq .firmware_config.bench_key=1 "$t"

# --- (b) Scaling: load and write to a file.
for s in "${sizes[@]}"; do
  f=$doc/scale-$s.json
  case $s in 100k) n=40 ;; 1m) n=10 ;; *) n=5 ;; esac
  [ "$quick" = 1 ] && n=3
  extra=()
  if [ "$s" = "${sizes[-1]}" ] && [ "$out" != "$disk" ]; then
    extra=("tool_${s}_disk" "$tool /InputFile $f /OutputFile $disk/tool-$s.json")
  fi
  cmds=()
  both "tool_$s" "/InputFile $f /OutputFile $out/tool-$s.json"
  group "$n" 1 "${cmds[@]}" "floor_$s" "$floor $f $out/floor-$s.json" "${extra[@]}"
  if [ -n "$other" ]; then
    "$tool" /InputFile "$f" /OutputFile "$out/tool-$s.json" >/dev/null
    "$other" /InputFile "$f" /OutputFile "$out/other-$s.json" >/dev/null
    cmp -s "$out/tool-$s.json" "$out/other-$s.json" ||
      echo "run.sh: warning: the two builds write the $s document differently" >&2
  fi
  peak "tool_$s" "$tool" /InputFile "$f" /OutputFile "$out/tool-$s.json"
  peak "floor_$s" "$floor" "$f" "$out/floor-$s.json"
  cmp -s "$out/tool-$s.json" "$f" || [ "$(diff "$out/tool-$s.json" "$f" | grep -c '^[<>]')" = 2 ] ||
    echo "run.sh: warning: the $s document did not come back as it went in (beyond its revision)" >&2
  rm -f "$out"/*-"$s".json "$disk"/*-"$s".json
done

# --- (c) Device cycle through the simulated headset, each of whose feature
# reports takes report_delay_us, as a USB control transfer takes about 1 ms:
# /InputFile device.json /OutputSentinel reads the headset once (the class
# check and the backup), writes, then reads it back to verify. The simulated
# HID library is preloaded rather than found through LD_LIBRARY_PATH, which
# would make the loader search that directory for every library the tool
# loads; with a real headset there is no such search either.
dev=$work/device
sim=$build/sbheadset-sim
delay_us=1000
export SBHEADSET_SIM_DIR=$dev/sim
mkdir -p "$SBHEADSET_SIM_DIR" "$dev/run" "$out/device-run"
"$sim" create bench serial=BENCH-0001 report_delay_us=$delay_us >/dev/null
simlib=$build/headsetsim/lib/libhidapi-hidraw.so.0
# A sanitized tool must load its runtime first: it finds the simulated
# library through the library path instead.
simenv=LD_PRELOAD=$simlib
[ "$sanitized" = 1 ] && simenv=LD_LIBRARY_PATH=$build/headsetsim/lib
cycle="/InputFile $doc/device.json /OutputSentinel"
device_note=
# One traced run of a cycle, from the benchmark's document on the headset:
# it must work and leave a backup; its feature reports are counted and what
# the headset then holds is kept. traced NAME COMMAND...
traced() {
  local name=$1
  shift
  "$sim" store bench "$doc/device.json" >/dev/null
  rm -f "$dev"/run/BENCH-0001-*.json
  (cd "$dev/run" && SBHEADSET_SIM_TRACE=$dev/$name.trace env "$simenv" "$@" >"$dev/$name.out" 2>"$dev/$name.err") ||
    { device_note="$name failed: $(head -c 200 "$dev/$name.out")"; return; }
  grep -q '^send 0x10' "$dev/$name.trace" || { device_note="$name did not write to the headset"; return; }
  ls "$dev"/run/BENCH-0001-*.json >/dev/null 2>&1 || { device_note="$name made no backup"; return; }
  printf '%s_gets\t%s\n%s_sends\t%s\n' "$name" "$(grep -c '^get ' "$dev/$name.trace")" \
    "$name" "$(grep -c '^send ' "$dev/$name.trace")" >>"$results"
  "$sim" inspect bench >"$dev/$name.stored"
}
# shellcheck disable=SC2086
traced dev_cycle "$tool" $cycle
# shellcheck disable=SC2086
[ -n "$device_note" ] || traced dev_noverify "$tool" $cycle /NoVerify
if [ -z "$device_note" ] && [ -n "$other" ]; then
  # shellcheck disable=SC2086
  traced other_dev_cycle "$other" $cycle
  cmp -s "$dev/dev_cycle.stored" "$dev/other_dev_cycle.stored" ||
    echo "run.sh: warning: the two builds write the device document differently" >&2
fi
if [ -z "$device_note" ]; then
  "$sim" store bench "$doc/device.json" >/dev/null
  {
    printf 'csize\t%s\n' "$(bytes "$SBHEADSET_SIM_DIR/bench.zcfg")"
    printf 'delay_us\t%s\n' "$delay_us"
    # Device diagnostics (the system log, copied to stderr), per cycle.
    printf 'diagnostics\t%s\n' "$(grep -c '^sbconfigtool\[' "$dev/dev_cycle.err")"
  } >>"$results"
  n=10
  [ "$quick" = 1 ] && n=2
  # A group of cycles run in DIR, with the simulated library. Backups land
  # there; each run starts without them, so that the search for a free
  # backup name costs the same every time. cycles DIR RUNS WARMUP name1 "command1" ...
  cycles() {
    local dir=$1
    shift
    (cd "$dir" && export "${simenv?}" && PREPARE="find $dir -maxdepth 1 -name BENCH-0001-*.json -delete" group "$@")
  }
  cmds=()
  both dev_cycle "$cycle"
  cycles "$out/device-run" "$n" 1 "${cmds[@]}" dev_noverify "$tool $cycle /NoVerify"
  [ "$out" = "$disk" ] || cycles "$dev/run" "$n" 1 dev_cycle_disk "$tool $cycle"
  # A production machine has a system logger, which takes a diagnostic in
  # microseconds. Without one here, the cycle runs again with a logger of
  # our own listening on /dev/log in a private mount namespace (root only);
  # the figures above stay as they are, beside these.
  if [ ! -S /dev/log ]; then
    : >"$work/logger-count"
    if "$here/with_logger.sh" "$sink" "$work/logger-count" true 2>"$work/logger.err"; then
      : >"$work/logger-count"
      (
        wrap=("$here/with_logger.sh" "$sink" "$work/logger-count")
        cycles "$out/device-run" "$n" 1 dev_cycle_logger "$tool $cycle"
      )
      # Messages the logger took, per cycle (every run of the group, warm-up
      # runs too, sent its diagnostics there).
      total=$((($(per_round "$n") + $(per_round 1)) * rounds))
      printf 'logger_messages_per_cycle\t%s\n' \
        "$(awk -v runs=$total '{ s += $1 } END { print s / runs }' "$work/logger-count")" >>"$results"
    else
      printf 'could not run a system logger of our own here: %s' "$(head -c 200 "$work/logger.err")" >"$work/logger-note"
    fi
  fi
  # The same cycle with reports that take no time: the tool's own time
  # beyond the pause, and with the delayed cycle what the delay added.
  "$sim" set bench report_delay_us=0 >/dev/null
  cycles "$out/device-run" "$((3 * n))" 1 dev_cycle_nodelay "$tool $cycle"
  # What one diagnostic costs here, over a process that does nothing.
  group "$((3 * n))" 1 probe_send "$probe send" probe_none "$probe"
fi

# --- The table.
MACHINE="$(nproc) cores, $(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1)"
SYSLOG=yes
[ -S /dev/log ] || SYSLOG=no
OUTPUTS=$out
LOGGER_NOTE=$(cat "$work/logger-note" 2>/dev/null || true)
OTHER=$other
export MACHINE SYSLOG OUTPUTS LOGGER_NOTE OTHER DEVICE_NOTE=$device_note LOAD_NOW="$(cut -d' ' -f1-3 /proc/loadavg)"
python3 "$here/table.py" "$results" "$doc" "${sizes[@]}"
