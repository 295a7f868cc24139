# registry.sh -- the programs of the registry (web/programs.js) for the
# shell scripts, sourced: registry_names prints their names, one a line,
# in the tabs' order. It reads the line each stanza opens with,
# `{ name: '<name>', ...`, as cmake/registry.cmake does, so that it needs
# neither node nor a build.
registry_names() {
  sed -n "s/^[[:space:]]*{[[:space:]]*name:[[:space:]]*'\([a-z][a-z0-9_]*\)'.*/\1/p" \
    "$(dirname "${BASH_SOURCE[0]}")/../../web/programs.js"
}

# registry_field NAME FIELD: prints the value of a field of NAME's stanza
# (a quoted string; nothing for null), the fields being `FIELD: '...'`
# between the line that opens the stanza and its closing brace.
registry_field() {
  awk -v name="$1" -v field="$2" '
    $0 ~ "^[[:space:]]*\\{[[:space:]]*name:[[:space:]]*\x27" name "\x27" { inside = 1 }
    inside {
      if (match($0, field ":[[:space:]]*\x27[^\x27]*\x27")) {
        value = substr($0, RSTART, RLENGTH); sub(/^[^\x27]*\x27/, "", value); sub(/\x27$/, "", value)
        print value; exit
      }
      if ($0 ~ /\}/) exit
    }' "$(dirname "${BASH_SOURCE[0]}")/../../web/programs.js"
}
