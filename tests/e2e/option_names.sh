# The tool's option names, for the tests of the files that list them (manual
# page, shell completion). Sourced after lib.sh.

# Every option the usage text lists, as printed by the built tool.
usage_option_names() {
  "$TOOL" /Help </dev/null 2>/dev/null | sed -n 's|^  \(/[A-Za-z]*\).*|\1|p'
}

# Every name of the option table, synonyms included.
table_option_names() {
  sed -n 's|^ *{"\(/[^"]*\)", "\(/[^"]*\)".*|\1\n\2|p; s|^ *{"\(/[^"]*\)", nullptr.*|\1|p' \
    "$SB_SOURCE_DIR/tool/tool_options.cc"
}

# The names the usage text leaves out: synonyms, "/?" and "/Help".
unlisted_option_names() {
  table_option_names | grep -vxF -f <(usage_option_names)
}

# "name count" for every name of the option table: the number of arguments
# the option takes.
table_option_argument_counts() {
  sed -n 's|^ *{"\(/[^"]*\)", "\(/[^"]*\)", \([0-9]\).*|\1 \3\n\2 \3|p
          s|^ *{"\(/[^"]*\)", nullptr, \([0-9]\).*|\1 \2|p' "$SB_SOURCE_DIR/tool/tool_options.cc"
}

# The usage text's placeholders of each option it lists: "name <a> <b>".
usage_option_placeholders() {
  "$TOOL" /Help </dev/null 2>/dev/null |
    sed -n 's|^  \(/[A-Za-z]*\)\(\( <[a-z_]*>\)*\).*|\1\2|p'
}
