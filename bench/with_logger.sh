#!/usr/bin/env bash
# Runs a command as on a machine with a system logger, when this one has
# none: in a private mount namespace whose /dev is a small RAM file system
# holding links to every entry of the real /dev and, as /dev/log, the socket
# of our own logger (syslog_sink.cc). Nothing outside the namespace changes.
# Needs root (for the namespace).
#
#   bench/with_logger.sh SINK COUNT_FILE COMMAND [ARGS...]
#
# SINK is the built syslog-sink; the number of messages it received is
# appended to COUNT_FILE. The exit code is the command's, or 125 when the namespace
# could not be set up.
set -euo pipefail

if [ "${SB_WITH_LOGGER_INSIDE:-}" != 1 ]; then
  [ $# -ge 3 ] || { echo "usage: with_logger.sh SINK COUNT_FILE COMMAND [ARGS...]" >&2; exit 2; }
  [ "$(id -u)" = 0 ] || { echo "with_logger.sh: needs root for a mount namespace" >&2; exit 125; }
  real=$(mktemp -d "${TMPDIR:-/tmp}/sbconfigtool-realdev.XXXXXX")
  code=0
  SB_WITH_LOGGER_INSIDE=1 SB_REAL_DEV=$real unshare --mount --propagation private "$0" "$@" || code=$?
  rmdir "$real" 2>/dev/null || true
  exit "$code"
fi

# Inside the namespace: mounts made here vanish with it.
sink=$1 count=$2
shift 2
real=$SB_REAL_DEV
mount --rbind /dev "$real" || exit 125
mount -t tmpfs -o mode=0755,size=1m sbconfigtool-bench-dev /dev || exit 125
for entry in "$real"/* "$real"/.[!.]*; do
  [ -e "$entry" ] || [ -L "$entry" ] || continue
  ln -s "$entry" "/dev/${entry##*/}"
done
"$sink" /dev/log >>"$count" &
sink_pid=$!
for _ in $(seq 200); do
  [ -S /dev/log ] && break
  sleep 0.01
done
[ -S /dev/log ] || { kill "$sink_pid" 2>/dev/null; exit 125; }
code=0
"$@" || code=$?
kill -TERM "$sink_pid"
wait "$sink_pid" || true
exit "$code"
