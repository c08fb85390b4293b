#!/usr/bin/env bash
# The output file and standard output: what each writes, the revision they
# share, quiet mode, and the output file replaced whole or not at all.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

cp "$SB_SOURCE_DIR/examples/controller.json" in.json
# The document every output of a run on in.json carries: revision 3 + 1.
sed 's/"revision" : 3,/"revision" : 4,/' in.json >expected.json
{ cat expected.json; echo; } >expected_stdout.txt
QUIET=(/PrintMfgBuildInfo no_such_key)

expect_file_equals() {
  cmp -s "$1" "$2" || fail "$1 differs from $2:
$(diff "$2" "$1" | head -20)"
}

# Nothing but the named entries may be left in the directory: no temporary
# file of a write.
expect_dir_holds() {
  local dir=$1
  shift
  local have want
  have=$(cd "$dir" && ls -A | sort | tr '\n' ' ')
  want=
  [ $# = 0 ] || want=$(printf '%s\n' "$@" | sort | tr '\n' ' ')
  [ "$have" = "$want" ] || fail "$dir holds '$have', expected '$want'"
}

begin_case "output file: the revision raised, the Wrote line"
run_tool /InputFile in.json /OutputFile out.json
expect_exit 0
expect_stdout_equals $'Wrote \'out.json\'\n'
expect_file_equals out.json expected.json
expect_stderr_empty

begin_case "output file and standard output carry the same revision"
rm -f out.json
run_tool /InputFile in.json /OutputFile out.json /OutputStdout
expect_exit 0
{ printf "Wrote 'out.json'\n"; cat expected_stdout.txt; } >both.txt
expect_stdout_file both.txt
expect_file_equals out.json expected.json

begin_case "quiet mode: no Wrote line, the document still printed"
rm -f out.json
run_tool /InputFile in.json /OutputFile out.json /OutputStdout "${QUIET[@]}"
expect_exit 0
expect_stdout_file expected_stdout.txt
expect_file_equals out.json expected.json

begin_case "/Quiet is not quiet mode"
run_tool /InputFile in.json /OutputFile out.json /Quiet
expect_exit 0
expect_stdout_equals $'Wrote \'out.json\'\n'

begin_case "an existing output file is replaced, its permission bits kept"
printf 'old text that is much longer than nothing at all\n' >kept.json
chmod 640 kept.json
run_tool /InputFile in.json /OutputFile kept.json
expect_exit 0
expect_file_equals kept.json expected.json
[ "$(stat -c %a kept.json)" = 640 ] || fail "mode is $(stat -c %a kept.json), expected 640"

begin_case "an output that is also the input"
cp in.json same.json
run_tool /InputFile same.json /FirmwareConfigDeleteAll /OutputFile same.json
expect_exit 0
expect_stdout_equals $'Deleted firmware_config entries\nWrote \'same.json\'\n'
grep -q '"revision" : 4,' same.json || fail "same.json lacks revision 4"
! grep -q firmware_config same.json || fail "same.json still has firmware_config"

begin_case "a symbolic link stays a link; the file it leads to is replaced"
mkdir real
printf 'old\n' >real/target.json
chmod 600 real/target.json
ln -s real/target.json link.json
run_tool /InputFile in.json /OutputFile link.json
expect_exit 0
expect_stdout_equals $'Wrote \'link.json\'\n'
[ -L link.json ] || fail "link.json is no longer a symbolic link"
[ "$(readlink link.json)" = real/target.json ] || fail "link.json points elsewhere"
expect_file_equals real/target.json expected.json
[ "$(stat -c %a real/target.json)" = 600 ] || fail "target mode is $(stat -c %a real/target.json)"
expect_dir_holds real target.json

begin_case "a write into a missing directory fails and leaves nothing"
mkdir clean && cd clean || fail "no clean directory"
run_tool /InputFile ../in.json /OutputFile nodir/out.json /OutputStdout
expect_exit 1
expect_stdout_equals $'Error writing tracked device config to file \'nodir/out.json\'\n'
expect_dir_holds .
cd "$WORK_DIR" || fail "no work directory"

begin_case "a write below a regular file fails"
printf 'plain\n' >plain.txt
run_tool /InputFile in.json /OutputFile plain.txt/out.json
expect_exit 1
expect_stdout_equals $'Error writing tracked device config to file \'plain.txt/out.json\'\n'
[ "$(cat plain.txt)" = plain ] || fail "plain.txt changed"

begin_case "a directory as the output fails and stays a directory"
mkdir outdir
run_tool /InputFile in.json /OutputFile outdir
expect_exit 1
expect_stdout_equals $'Error writing tracked device config to file \'outdir\'\n'
[ -d outdir ] || fail "outdir is gone"
expect_dir_holds outdir

begin_case "a write that cannot finish keeps the old file whole"
mkdir small
printf 'previous\n' >small/out.json
# A file-size limit below the document's size makes the write fail part way.
(ulimit -f 1 && trap '' XFSZ && run_tool /InputFile "$SB_SOURCE_DIR/examples/hmd_latest.json" \
  /OutputFile small/out.json && echo "$EXIT_CODE" >code.txt)
[ "$(cat code.txt)" = 1 ] || fail "exit code $(cat code.txt), expected 1"
expect_stdout_equals $'Error writing tracked device config to file \'small/out.json\'\n'
[ "$(cat small/out.json)" = previous ] || fail "small/out.json was changed"
expect_dir_holds small out.json

if [ "$(id -u)" != 0 ]; then
  begin_case "an unwritable directory: the old file stays"
  mkdir locked
  printf 'previous\n' >locked/out.json
  chmod 555 locked
  run_tool /InputFile in.json /OutputFile locked/out.json
  chmod 755 locked
  expect_exit 1
  expect_stdout_equals $'Error writing tracked device config to file \'locked/out.json\'\n'
  [ "$(cat locked/out.json)" = previous ] || fail "locked/out.json was changed"
  expect_dir_holds locked out.json
fi

begin_case "a failed output file stops the run before standard output"
run_tool /InputFile in.json /OutputFile nodir/x.json /OutputStdout "${QUIET[@]}"
expect_exit 1
expect_stdout_equals $'Error writing tracked device config to file \'nodir/x.json\'\n'

finish
