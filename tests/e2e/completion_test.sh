#!/usr/bin/env bash
# The bash completion: option names in the tool's letter case, file names
# after the options that take a file, type names in the type position of the
# two typed set options, nothing where a key or value is expected. Run once
# on its own and once with the bash-completion package loaded, as in a
# login shell.
E2E_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$E2E_DIR/lib.sh"
source "$E2E_DIR/option_names.sh"

COMPLETION=$SB_SOURCE_DIR/contrib/bash-completion/sbconfigtool
BASH_COMPLETION_LIB=/usr/share/bash-completion/bash_completion

mkdir -p "$WORK_DIR/cal dir" "$WORK_DIR/sub"
touch "$WORK_DIR/base.json" "$WORK_DIR/bench.txt" "$WORK_DIR/cal dir/lens.json" "$WORK_DIR/other.json"

# Completes the last of the given words after "sbconfigtool" and prints the
# candidates sorted, one a line. $1 says whether bash-completion is loaded.
complete_words() {
  local with_library=$1
  shift
  (
    set +u  # as in an interactive shell
    if [ "$with_library" = yes ]; then
      # shellcheck disable=SC1090
      source "$BASH_COMPLETION_LIB" || exit 1
    fi
    # shellcheck disable=SC1090
    source "$COMPLETION" || exit 1
    COMP_WORDS=(sbconfigtool "$@")
    COMP_CWORD=$#
    COMP_LINE="sbconfigtool $*"
    COMP_POINT=${#COMP_LINE}
    _sbconfigtool sbconfigtool "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD-1]}"
    printf '%s\n' "${COMPREPLY[@]}" | sort
  ) 2>"$TEST_DIR/completion_stderr"
}

expect_candidates() {
  local expected=$1
  shift
  local got
  got=$(complete_words "$MODE" "$@")
  [ ! -s "$TEST_DIR/completion_stderr" ] || fail "stderr: $(head -5 "$TEST_DIR/completion_stderr")"
  [ "$got" = "$expected" ] || fail "completing '$*' gave:
$got
expected:
$expected"
}

run_cases() {
  MODE=$1

  begin_case "[$MODE] an empty word offers every option and synonym but /?"
  expect_candidates "$(cat "$TEST_DIR/expected_names")" ""

  begin_case "[$MODE] a slash alone offers every option as well"
  expect_candidates "$(cat "$TEST_DIR/expected_names")" /

  begin_case "[$MODE] a prefix in any letter case offers the names as the usage text writes them"
  expect_candidates "/InputFile" /inputf
  expect_candidates "$(printf '%s\n' /PrintSentinelSerial /PrintSerial)" /PRINTS
  expect_candidates "$(printf '%s\n' /SerialDevice /SerialFile /SerialLocal /SerialSentinel)" /Serial

  begin_case "[$MODE] an unknown prefix offers nothing"
  expect_candidates "" /Bogus
  expect_candidates "" base

  begin_case "[$MODE] file names after an option that takes a file"
  expect_candidates "base.json" /InputFile ba
  expect_candidates "$(printf '%s\n' base.json bench.txt)" /CameraCal b
  expect_candidates "cal dir" /lenscal cal
  expect_candidates "cal dir/lens.json" /LensCal "cal dir/"

  begin_case "[$MODE] a file argument may begin with a slash"
  expect_candidates "$WORK_DIR/other.json" /FirmwareConfigOverlay "$WORK_DIR/oth"

  begin_case "[$MODE] after a file argument come options again"
  expect_candidates "$(printf '%s\n' /OutputDevice /OutputFile /OutputLocal /OutputSentinel /OutputStdout)" \
    /InputFile base.json /Out

  begin_case "[$MODE] an option word in a file position is the file"
  expect_candidates "base.json" /InputFile /OutputStdout /SensorCal bas
  expect_candidates "$(printf '%s\n' /NoBackup /NoReformat /NoVerify)" /InputFile /OutputStdout /No

  begin_case "[$MODE] type names in the type position"
  expect_candidates "$(printf '%s\n' double float int string)" /FirmwareConfigSetElement gain ""
  expect_candidates "float" /SetMfgBuildInfo line f
  expect_candidates "double" /setmfgbuildinfo line d
  expect_candidates "string" /InputFile base.json /FIRMWARECONFIGSETELEMENT /key s

  begin_case "[$MODE] type names are lower case only, as the tool accepts them"
  expect_candidates "" /SetMfgBuildInfo line S

  begin_case "[$MODE] nothing where a key, value, serial or id is expected"
  expect_candidates "" /FirmwareConfigSetElement ""
  expect_candidates "" /FirmwareConfigSetElement gain float ""
  expect_candidates "" /SetMfgBuildInfo line string ""
  expect_candidates "" /PrintMfgBuildInfo ""
  expect_candidates "" /FirmwareConfigDeleteElement b
  expect_candidates "" /DisplaySerialNums L ""
  expect_candidates "" /SetDirectModeVidPid ABC ""

  begin_case "[$MODE] after the value of a typed set come options again"
  expect_candidates "$(printf '%s\n' /NoBackup /NoReformat /NoVerify)" /SetMfgBuildInfo line string A7 /no

  begin_case "[$MODE] bare words are skipped as the tool skips them"
  expect_candidates "/OutputStdout" device.json /OutputStd
}

begin_case "every option of the tool, with the arguments of the kind its usage line shows"
# "name kind..." with file for <filename>, type for <type>, word else; the
# names the usage text leaves out take no arguments.
(source "$COMPLETION" && printf '%s\n' "${_sbconfigtool_options[@]}") | sort >"$TEST_DIR/entries"
{
  usage_option_placeholders | sed 's/<filename>/file/g; s/<type>/type/g; s/<[a-z_]*>/word/g'
  cut -d' ' -f1 "$TEST_DIR/entries" | known_option_names | grep -vxF -f <(usage_option_names)
} | sort >"$TEST_DIR/expected_entries"
cut -d' ' -f1 "$TEST_DIR/expected_entries" | sort >"$TEST_DIR/expected_names"
cmp -s "$TEST_DIR/expected_entries" "$TEST_DIR/entries" ||
  fail "option entries differ from the tool's:
$(diff "$TEST_DIR/expected_entries" "$TEST_DIR/entries")"

run_cases plain
if [ -r "$BASH_COMPLETION_LIB" ]; then
  run_cases bash-completion

  begin_case "bash-completion loads the file on demand from a completions directory"
  mkdir -p "$TEST_DIR/user/completions"
  cp "$COMPLETION" "$TEST_DIR/user/completions/sbconfigtool"
  (
    set +u
    export BASH_COMPLETION_USER_DIR=$TEST_DIR/user
    source "$BASH_COMPLETION_LIB" && __load_completion sbconfigtool && complete -p sbconfigtool
  ) >"$TEST_DIR/loaded" 2>&1 || fail "not loaded: $(cat "$TEST_DIR/loaded")"
  grep -qF -- "-F _sbconfigtool sbconfigtool" "$TEST_DIR/loaded" || fail "loaded as: $(cat "$TEST_DIR/loaded")"
else
  echo "note: $BASH_COMPLETION_LIB not installed; checked without it only"
fi

begin_case "the completion is registered for sbconfigtool"
(source "$COMPLETION" && complete -p sbconfigtool) >"$TEST_DIR/registered" 2>&1 ||
  fail "not registered: $(cat "$TEST_DIR/registered")"
grep -qF -- "-F _sbconfigtool sbconfigtool" "$TEST_DIR/registered" || fail "registered as: $(cat "$TEST_DIR/registered")"

finish
