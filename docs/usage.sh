#!/bin/sh
# The usage blocks of README.md and docs/*.md against the programs' own help:
#   usage.sh check|write SOURCE_DIR EMULATOR NAME=PROGRAM...
# A usage block is the line "<!-- usage: NAME -->", a blank line and an
# indented code block holding what "PROGRAM --help" prints: its standard
# output, then its standard error (a program that exits 0 prints its help on
# standard output, one that takes --help as a usage error on standard error).
# EMULATOR (empty for a native build) runs the programs that are not scripts.
# check fails on a block that differs from its program's help (shown as a
# diff) and on a program without exactly one block; write rewrites the given
# programs' blocks in place (`cmake --build --preset host --target docs`).
set -eu
mode=$1
top=$2
emulator=$(printf '%s' "$3" | tr ';' ' ')
shift 3
case $mode in check | write) ;; *) echo "usage: usage.sh check|write SOURCE_DIR EMULATOR NAME=PROGRAM..." >&2; exit 2 ;; esac
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
tab=$(printf '\t')
failed=0

# Each program's help, in $tmp/help.K; $tmp/list maps NAME to that file.
: >"$tmp/list"
k=0
for arg; do
  k=$((k + 1))
  name=${arg%%=*}
  program=${arg#*=}
  run=$emulator
  [ "$(head -c 2 "$program")" != '#!' ] || run=
  # shellcheck disable=SC2086
  $run "$program" --help >"$tmp/out" 2>"$tmp/err" || true
  cat "$tmp/out" "$tmp/err" >"$tmp/help.$k"
  if [ ! -s "$tmp/help.$k" ]; then
    echo "$program --help printed nothing" >&2
    failed=1
  fi
  printf '%s\t%s\n' "$name" "$tmp/help.$k" >>"$tmp/list"
done

# The documents' blocks. check: each block into $tmp/block.N and a line
# "NAME <tab> help file or - <tab> block file <tab> FILE:LINE" on standard
# output; write: the document with the given programs' blocks made anew.
blocks() {
  awk -v mode="$mode" -v list="$tmp/list" -v dir="$tmp" '
    BEGIN { FS = "\t"; while ((getline l < list) > 0) { split(l, f, "\t"); help[f[1]] = f[2] } FS = " " }
    function finish() {
      state = 0
      if (mode == "check") { close(out); return }
      if (name in help) {
        while ((getline l < help[name]) > 0) print (l == "" ? "" : "    " l)
        close(help[name])
      }
      for (; pending > 0; pending--) print ""
    }
    FNR == 1 && state == 2 { finish() }
    state == 2 && /^    / {
      if (mode == "check") { for (; pending > 0; pending--) print "" > out; print substr($0, 5) > out }
      else if (!(name in help)) { for (; pending > 0; pending--) print ""; print }
      pending = 0
      next
    }
    state == 2 && /^$/ { pending++; next }
    state == 2 { finish() }
    state == 1 {
      state = 0
      if ($0 == "") {
        state = 2; pending = 0
        if (mode == "write") print
        next
      }
      print FILENAME ":" FNR ": no blank line and code block after the usage marker" > "/dev/stderr"
      bad = 1
    }
    /^<!-- usage: .* -->$/ {
      name = substr($0, 13, length($0) - 16)
      state = 1
      if (mode == "check") {
        out = dir "/block." ++n
        printf "" > out
        print name "\t" (name in help ? help[name] : "-") "\t" out "\t" FILENAME ":" FNR
        next
      }
    }
    mode == "write" { print }
    END { if (state == 2) finish(); exit bad }
  ' "$@"
}

docs="$top/README.md $top/docs/*.md"
if [ "$mode" = write ]; then
  for doc in $docs; do
    blocks "$doc" >"$tmp/doc" || exit 1
    cmp -s "$doc" "$tmp/doc" || { cat "$tmp/doc" >"$doc"; echo "usage blocks written: $doc"; }
  done
  exit "$failed"
fi

# shellcheck disable=SC2086
blocks $docs >"$tmp/index" || failed=1
while IFS=$tab read -r name help block where; do
  if [ "$help" = - ]; then
    echo "$where: usage of $name: not checked in this build"
  elif diff -u --label "$name --help" --label "$where" "$help" "$block"; then
    echo "$where: usage of $name: as it prints"
  else
    failed=1
  fi
done <"$tmp/index"
while IFS=$tab read -r name help; do
  count=$(awk -F "$tab" -v name="$name" '$1 == name' "$tmp/index" | wc -l)
  if [ "$count" -ne 1 ]; then
    echo "usage of $name: $count blocks, not one (<!-- usage: $name -->)" >&2
    failed=1
  fi
done <"$tmp/list"
exit "$failed"
