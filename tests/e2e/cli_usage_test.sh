#!/usr/bin/env bash
# The usage text and command-line errors: what is printed instead of a run,
# and the exit code 1 that comes with it.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

USAGE=$DATA_DIR/usage.txt

# Writes the expected output of a command-line error: the error line, then
# the usage text.
error_then_usage() {
  printf 'Command line error: %s %s\n\n' "$1" "$2" >"$TEST_DIR/error_then_usage"
  cat "$USAGE" >>"$TEST_DIR/error_then_usage"
  echo "$TEST_DIR/error_then_usage"
}

begin_case "no arguments prints the usage"
run_tool
expect_exit 1
expect_stdout_file "$USAGE"
expect_stderr_empty

begin_case "/Help in mixed case prints the usage only"
run_tool /hElP
expect_exit 1
expect_stdout_file "$USAGE"
expect_stderr_empty

begin_case "/? prints the usage only"
run_tool '/?'
expect_exit 1
expect_stdout_file "$USAGE"

begin_case "arguments after /Help are never examined"
run_tool /OutputStdout /HELP /Bogus /InputFile
expect_exit 1
expect_stdout_file "$USAGE"

begin_case "/InputFile as the last argument lacks its file name"
run_tool /OutputStdout /InputFile
expect_exit 1
expect_stdout_file "$(error_then_usage /InputFile '')"
expect_stderr_empty

begin_case "/FirmwareConfigSetElement needs three arguments"
run_tool /FirmwareConfigSetElement key int
expect_exit 1
expect_stdout_file "$(error_then_usage /FirmwareConfigSetElement key)"

begin_case "an unknown option names itself and the argument after it"
run_tool /OutputStdout /Bogus next /Help
expect_exit 1
expect_stdout_file "$(error_then_usage /Bogus next)"

begin_case "an abbreviated option is unknown"
run_tool /Input device.json /Output output.json
expect_exit 1
expect_stdout_file "$(error_then_usage /Input device.json)"

begin_case "an input conflict is reported before the usage"
run_tool /InputSentinel /InputFile a.json /Help
expect_exit 1
expect_stdout_equals $'You cannot specify both /InputDevice and an input file\n'
expect_stderr_empty

begin_case "an input conflict is reported before a command-line error"
run_tool /inputdevice /InputVerificationFile v.json /Bogus
expect_exit 1
expect_stdout_equals $'You cannot specify both /InputDevice and an input file\n'

begin_case "without a device input there is no conflict check"
run_tool /InputFile a.json /Help
expect_exit 1
expect_stdout_file "$USAGE"

begin_case "a device input without a file still shows the usage on /Help"
run_tool /InputDevice /Help
expect_exit 1
expect_stdout_file "$USAGE"

begin_case "a bare file name is ignored"
run_tool /OutputStdout
expect_exit 0
cp "$OUT" "$TEST_DIR/plain_stdout"
run_tool device.json /OutputStdout
expect_exit 0
expect_stdout_file "$TEST_DIR/plain_stdout"
expect_stdout_lacks "Command line error"
expect_stdout_lacks "Usage:"

finish
