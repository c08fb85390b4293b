#!/usr/bin/env bash
# The bash completion offers what the tool takes: the option names of its usage text and
# every other name it accepts, each with the kinds of argument its usage line shows; file
# names after the options that take a file, type names in the type position, nothing where
# a key or value goes. With the file sourced on its own, then loaded on demand by the
# bash-completion package as in a login shell.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

COMPLETION=$SB_SOURCE_DIR/contrib/bash-completion/sbconfigtool
LIBRARY=/usr/share/bash-completion/bash_completion
mkdir -p "cal dir" "$TEST_DIR/user/completions" && touch base.json other.json
cp "$COMPLETION" "$TEST_DIR/user/completions/sbconfigtool"

begin_case "every name the tool takes, with the arguments of the kind its usage line shows"
# "name kind..." with file for <filename>, type for <type>, word else; names
# the usage text leaves out (found in the binary) take no arguments.
(source "$COMPLETION" && printf '%s\n' "${_sbconfigtool_options[@]}") | sort >"$TEST_DIR/entries"
{
  usage_option_placeholders | sed 's/<filename>/file/g; s/<type>/type/g; s/<[a-z_]*>/word/g'
  strings "$TOOL" | grep -xE '/[A-Za-z]+' | sort -u | known_option_names | grep -vxF -f <(usage_option_names)
} | sort >"$TEST_DIR/expected"
diff "$TEST_DIR/expected" "$TEST_DIR/entries" >"$TEST_DIR/diff" || fail "entries differ from the tool's: $(cat "$TEST_DIR/diff")"
ALL=$(cut -d' ' -f1 "$TEST_DIR/expected" | sort | paste -sd,)

# Completes the last of the given words after "sbconfigtool" with the
# function registered for it; prints the candidates sorted, one a line.
complete_words() {
  (
    set +u  # as in an interactive shell
    if [ "$MODE" = plain ]; then source "$COMPLETION"
    else BASH_COMPLETION_USER_DIR=$TEST_DIR/user && source "$LIBRARY" && __load_completion sbconfigtool; fi
    COMP_WORDS=(sbconfigtool "$@") COMP_CWORD=$# COMP_LINE="sbconfigtool $*" COMP_POINT=${#COMP_LINE}
    $(complete -p sbconfigtool | sed -n 's/.* -F \([^ ]*\) .*/\1/p') sbconfigtool "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD-1]}"
    printf '%s\n' "${COMPREPLY[@]}" | sort
  ) 2>&1
}

for MODE in plain bash-completion; do
  [ "$MODE" = plain ] || [ -r "$LIBRARY" ] || { echo "note: no $LIBRARY; checked without it only"; break; }
  # Each row: the words (as shell words), then the candidates, comma-separated.
  while IFS='|' read -r words expected; do
    begin_case "[$MODE] $words"
    eval "set -- $words"
    got=$(complete_words "$@" | paste -sd,)
    [ "$got" = "$expected" ] || fail "gave '$got', expected '$expected'"
  done <<EOF
''|$ALL
/PRINTS|/PrintSentinelSerial,/PrintSerial
/lenscal cal|cal dir
/FirmwareConfigOverlay $WORK_DIR/oth|$WORK_DIR/other.json
/InputFile /SensorCal /OutputStd|/OutputStdout
/SetMfgBuildInfo line string A7 /no|/NoBackup,/NoReformat,/NoVerify
device.json /OutputStd|/OutputStdout
/FirmwareConfigSetElement gain ''|double,float,int,string
/setmfgbuildinfo line S|
/SetMfgBuildInfo line string ''|
EOF
done

finish
