# The tool's option names as the built tool gives them, for the tests of
# the files that list them (manual page, shell completion). Sourced after
# lib.sh.

# Every option the usage text lists, with its placeholders: "name <a> <b>".
usage_option_placeholders() {
  "$TOOL" /Help </dev/null 2>/dev/null | sed -n 's|^  \(/[A-Za-z]*\)\(\( <[a-z_]*>\)*\).*|\1\2|p'
}

usage_option_names() {
  usage_option_placeholders | cut -d' ' -f1
}

# The usage text leaves out synonyms and /Help. Of the given names, those it
# lists and those the tool takes as an option (given "NAME /Bogus", it does
# not stop on NAME as a command-line error); the others are dropped.
known_option_names() {
  while read -r name; do
    if usage_option_names | grep -qxF -- "$name" ||
      ! "$TOOL" "$name" /Bogus </dev/null 2>/dev/null | grep -qF "Command line error: $name "; then
      echo "$name"
    fi
  done
}
