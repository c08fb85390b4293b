#!/usr/bin/env bash
# The manual page of every installed command: it renders without a warning,
# has an entry of its own for every option or command that the command's
# help output lists and for no other name, and its ENVIRONMENT, FILES and
# SEE ALSO sections name what the table below says.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
command -v man >/dev/null || fail "man is not installed (scripts/install-deps.sh)"

# page, then what its ENVIRONMENT, FILES and SEE ALSO must name (comma-separated).
while read -r page environment files see_also <&3; do
  PAGE=$SB_SOURCE_DIR/doc/$page.1

  begin_case "$page: man renders the page without warnings"
  MANWIDTH=80 man --warnings -E UTF-8 -l "$PAGE" >"$TEST_DIR/rendered" 2>"$TEST_DIR/warnings" ||
    fail "man failed: $(cat "$TEST_DIR/warnings")"
  [ ! -s "$TEST_DIR/warnings" ] || fail "warnings: $(head -20 "$TEST_DIR/warnings")"
  col -bx <"$TEST_DIR/rendered" >"$TEST_DIR/plain"

  begin_case "$page: an entry for each name of the help output, in its letter case, and no other"
  # An entry of OPTIONS or COMMANDS: .TP (or .TQ), then a bold line of the
  # name and its synonyms (words starting with / or -).
  awk '/^\.SH (OPTIONS|COMMANDS)/ {on = 1; next} /^\.SH/ {on = 0}
       on && prev ~ /^\.T[PQ]/ && $1 ~ /^\.B[IR]?$/ {
         for (i = 2; i <= NF; i++) { w = $i; gsub(/[\\"()]/, "", w); if (i == 2 || w ~ /^[-\/]/) print w }
       }
       {prev = $0}' "$PAGE" | sort -u >"$TEST_DIR/entries"
  # The tool's usage text leaves out the synonyms, which it takes all the same. The other commands'
  # names start the indented lines of --help: "  -h, --help  ..." gives -h and --help.
  if [ "$page" = sbconfigtool ]; then known_option_names <"$TEST_DIR/entries"; usage_option_names
  else "$SB_BUILD_DIR/$page" --help </dev/null 2>/dev/null |
    awk '/^  [^ ]/ { for (i = 1; $i ~ /,$/; i++) print substr($i, 1, length($i) - 1); print $i }'
  fi | sort -u >"$TEST_DIR/names"
  cmp -s "$TEST_DIR/names" "$TEST_DIR/entries" ||
    fail "(<: a name without an entry, >: an entry of no name) $(diff "$TEST_DIR/names" "$TEST_DIR/entries")"

  begin_case "$page: exit status, examples, environment, files and related pages"
  for wanted in "EXIT STATUS:0,1" "EXAMPLES:$page" "ENVIRONMENT:$environment" "FILES:$files" "SEE ALSO:$see_also"; do
    for word in $(tr , ' ' <<<"${wanted#*:}"); do
      awk -v s="${wanted%%:*}" '$0 == s {on = 1; next} /^[^ ]/ {on = 0} on' "$TEST_DIR/plain" |
        grep -qwF -- "$word" || fail "${wanted%%:*} does not name $word"
    done
  done
done 3<<'EOF'
sbconfigtool   TMPDIR,SBCONFIG_RIGCONF_DIR,SBHEADSET_SIM_DIR,SBHEADSET_SIM_TRACE,LD_LIBRARY_PATH  configtool.json,70-sbconfigtool.rules  rigconf_path,rigconf_serial,rigconf_write,sbheadset-sim
rigconf_path   SBCONFIG_RIGCONF_DIR  /var/lib/sbconfigtool/device.json  sbconfigtool,rigconf_serial,rigconf_write
rigconf_serial SBCONFIG_RIGCONF_DIR  /var/lib/sbconfigtool/device.json  sbconfigtool,rigconf_path,rigconf_write
rigconf_write  SBCONFIG_RIGCONF_DIR  /var/lib/sbconfigtool/device.json  sbconfigtool,rigconf_path,rigconf_serial
sbheadset-sim  SBHEADSET_SIM_DIR,SBHEADSET_SIM_TRACE,LD_LIBRARY_PATH  libhidapi-hidraw.so.0,NAME.headset,NAME.zcfg  sbconfigtool
EOF

finish
