# Sourced before the commands of a case file (run_cases.py).

# The member NAME of a document the tool wrote, as it lays it out: from its
# line to the line that closes it, at the first level.
section() {
  sed -n "/^   \"$1\" : /,/^   []}]/p" "$2"
}
