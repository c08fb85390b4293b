#!/usr/bin/env bash
# The manual page: it renders without a warning, documents every option of
# the tool under its own name (synonyms included), and names no option that
# the tool does not have.
E2E_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$E2E_DIR/lib.sh"
source "$E2E_DIR/option_names.sh"

PAGE=$SB_SOURCE_DIR/doc/sbconfigtool.1
RENDERED=$TEST_DIR/rendered.txt
command -v man >/dev/null || fail "man is not installed (scripts/install-deps.sh)"

begin_case "the option lists are found"
usage_option_names >"$TEST_DIR/usage_names"
table_option_names >"$TEST_DIR/table_names"
[ "$(wc -l <"$TEST_DIR/usage_names")" -ge 40 ] || fail "too few options in the usage text"
[ "$(wc -l <"$TEST_DIR/table_names")" -gt "$(wc -l <"$TEST_DIR/usage_names")" ] ||
  fail "no synonyms found in tool/tool_options.cc"

begin_case "man renders the page without warnings"
MANWIDTH=80 man --warnings -E UTF-8 -l "$PAGE" >"$RENDERED" 2>"$TEST_DIR/warnings"
code=$?
[ "$code" = 0 ] || fail "man exit code $code: $(cat "$TEST_DIR/warnings")"
[ ! -s "$TEST_DIR/warnings" ] || fail "warnings: $(head -20 "$TEST_DIR/warnings")"
[ -s "$RENDERED" ] || fail "nothing rendered"

# The slash words of the rendered text, one a line, without overstriking.
col -b <"$RENDERED" | grep -oE '/[A-Za-z?]+' | sort -u >"$TEST_DIR/mentioned"

begin_case "every option of the usage text and every synonym is documented"
while read -r name; do
  grep -qxF -- "$name" "$TEST_DIR/mentioned" || fail "the page does not mention $name"
done <"$TEST_DIR/table_names"

begin_case "each option has an entry of its own in OPTIONS"
# An entry starts with .TP (or .TQ) followed by a line setting the name in bold.
awk '/^\.SH OPTIONS/ {on = 1; next} /^\.SH/ {on = 0}
     on && prev ~ /^\.T[PQ]/ && $1 ~ /^\.B[IR]?$/ {
       for (i = 2; i <= NF; i++) { w = $i; gsub(/["()]/, "", w); if (w ~ /^\//) print w }
     }
     {prev = $0}' "$PAGE" | sort -u >"$TEST_DIR/entries"
while read -r name; do
  grep -qxF -- "$name" "$TEST_DIR/entries" || fail "no entry for $name"
done <"$TEST_DIR/table_names"

begin_case "every entry names a real option, in the tool's letter case"
while read -r name; do
  grep -qxF -- "$name" "$TEST_DIR/table_names" || fail "the page documents unknown option '$name'"
done <"$TEST_DIR/entries"

begin_case "the exit codes, files and environment are documented"
for section in "EXIT STATUS" ENVIRONMENT FILES EXAMPLES; do
  grep -qx "$section" <(col -b <"$RENDERED") || fail "no section $section"
done
for word in configtool.json TMPDIR SBHEADSET_SIM_DIR LD_LIBRARY_PATH 70-sbconfigtool.rules; do
  grep -qF -- "$word" <(col -b <"$RENDERED") || fail "the page does not mention $word"
done

finish
