#!/bin/sh
# Every relative link of README.md and docs/*.md names a file or folder of the
# tree, and every #anchor a heading of the document it leads into (GitHub's
# anchors: lower case, punctuation but - and _ dropped, a space as -, a
# repeated heading with -1, -2, ...). Fenced code and `code` are not read.
#   links_test.sh SOURCE_DIR
set -eu
cd "$1"
awk '
  function anchor(h, s) {
    s = tolower(h)
    gsub(/[^a-z0-9 _-]/, "", s)
    gsub(/ /, "-", s)
    return s
  }
  # The path of link target t from document d, without . and .. parts.
  function resolve(d, t, parts, n, i, out, k) {
    sub(/[^\/]*$/, "", d)
    n = split(d t, parts, "/")
    k = 0
    for (i = 1; i <= n; i++) {
      if (parts[i] == "." || (parts[i] == "" && i < n)) continue
      if (parts[i] == "..") { if (k > 0) k--; else return "../" }
      else out[++k] = parts[i]
    }
    t = ""
    for (i = 1; i <= k; i++) t = t (i > 1 ? "/" : "") out[i]
    return t
  }
  FNR == 1 { fenced = 0 }
  /^```/ { fenced = !fenced; next }
  fenced { next }
  pass == 1 && /^#+ / {
    h = $0
    sub(/^#+ +/, "", h)
    a = anchor(h)
    seen[FILENAME, a]++
    if (seen[FILENAME, a] > 1) a = a "-" (seen[FILENAME, a] - 1)
    anchors[FILENAME "#" a] = 1
  }
  pass == 2 {
    line = $0
    gsub(/`[^`]*`/, "", line)
    while (match(line, /\]\([^)]*\)/)) {
      target = substr(line, RSTART + 2, RLENGTH - 3)
      line = substr(line, RSTART + RLENGTH)
      sub(/ .*/, "", target)
      if (target ~ /^[a-z]+:/) continue
      file = target; frag = ""
      if (index(target, "#")) { file = substr(target, 1, index(target, "#") - 1); frag = substr(target, index(target, "#") + 1) }
      path = file == "" ? FILENAME : resolve(FILENAME, file)
      where = FILENAME ":" FNR ": (" target ")"
      if (path == "../") { print where ": leads out of the tree"; bad = 1; continue }
      if (system("test -e \"" path "\"") != 0) { print where ": no file " path; bad = 1; continue }
      if (frag != "" && !((path "#" frag) in anchors)) { print where ": no heading #" frag " in " path; bad = 1; continue }
      checked++
    }
  }
  END { print checked + 0 " links resolve"; exit bad }
' pass=1 README.md docs/*.md pass=2 README.md docs/*.md
