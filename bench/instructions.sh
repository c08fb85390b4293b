#!/usr/bin/env bash
# Counts the instructions (valgrind's callgrind, the dynamic linker and all)
# of a run without work, the typical run and the 1 MB document written to a
# file, for each build given, on the documents of a benchmark run. Unlike
# times, the counts do not move with the load of the machine.
#
#   bench/instructions.sh DOCS BUILD...
#
# DOCS is the documents directory of a run of bench/run.sh
# (BUILD/bench-work/docs); a BUILD is a directory holding an sbconfigtool.
# With two builds or more, each count is also given as a ratio to the first.
set -euo pipefail

[ $# -ge 2 ] || { sed -n '7,11p' "$0" | sed 's/^# \{0,1\}//' >&2; exit 2; }
docs=$(cd "$1" && pwd)
shift
command -v valgrind >/dev/null || { echo "instructions.sh: needs valgrind (apt-get install -y valgrind)" >&2; exit 1; }
builds=()
for b in "$@"; do
  [ -x "$b/sbconfigtool" ] || { echo "instructions.sh: $b/sbconfigtool is missing" >&2; exit 1; }
  builds+=("$(cd "$b" && pwd)")
done
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# Instructions of one command, the whole process.
count() {
  valgrind --tool=callgrind --callgrind-out-file="$tmp/cg.out" "$@" >/dev/null 2>"$tmp/err" ||
    { cat "$tmp/err" >&2; exit 1; }
  sed -n 's/^summary: //p' "$tmp/cg.out"
}

i=0
for b in "$@"; do
  i=$((i + 1))
  echo "build $i: $b"
done
printf '\n%-28s' run
for ((i = 1; i <= $#; i++)); do printf '  %-16s' "build $i"; done
echo
while IFS='|' read -r label args; do
  printf '%-28s' "$label"
  first=
  for b in "${builds[@]}"; do
    # shellcheck disable=SC2086
    n=$(cd "$tmp" && count "$b/sbconfigtool" $args)
    first=${first:-$n}
    if [ $# -gt 1 ]; then
      printf '  %-16s' "$(awk -v n="$n" -v f="$first" 'BEGIN { printf "%.2f M (%.3f)", n / 1e6, n / f }')"
    else
      printf '  %-16s' "$(awk -v n="$n" 'BEGIN { printf "%.2f M", n / 1e6 }')"
    fi
  done
  echo
done <<EOF
/BatchDump (startup)|/BatchDump
typical run (8 KB, stdout)|/InputFile $docs/typical.json /FirmwareConfigSetElement bench_key int 1 /OutputStdout
1 MB to a file|/InputFile $docs/scale-1m.json /OutputFile $tmp/out.json
EOF
