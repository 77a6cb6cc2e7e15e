# shellcheck shell=sh
# What the kit's scripts share; each script in scripts/ sources it first:
#   . "$(dirname "$0")/lib.sh"
# top: the top of the tree (absolute; a script that works there does cd "$top");
# me: the script's name, which begins its messages; jobs: parallel build jobs.
top=$(cd "$(dirname "$0")/.." && pwd)
me=$(basename "$0")
jobs=$(nproc 2>/dev/null || echo 2)

# say TEXT...: one line on standard error, "NAME: TEXT".
say() {
  echo "$me: $*" >&2
}
# fail TEXT...: that line, then exit status 2 (a usage or set-up error).
fail() {
  say "$@"
  exit 2
}

# build_preset PRESET [TARGET...]: configures the preset and builds it (only
# the TARGETs, if given) without a word; when either step fails, their output
# goes to standard error and the status is 1.
build_preset() {
  preset_=$1
  shift
  if ! log_=$( (cd "$top" && cmake --preset "$preset_" &&
    cmake --build --preset "$preset_" -j "$jobs" ${1:+--target "$@"}) 2>&1); then
    printf '%s\n' "$log_" >&2
    return 1
  fi
}

# cached_value BUILD NAME: the value of NAME in the CMake cache of BUILD.
cached_value() {
  sed -n "s/^$2:[A-Z]*=//p" "$1/CMakeCache.txt"
}

# fetch_deb CACHE PACKAGE ARCH VERSION: the path of the .deb of PACKAGE:ARCH
# at VERSION (ARCH "all" for a package of every architecture), fetched with
# apt-get download once and kept in CACHE under the name apt-get gives it (the
# epoch's colon written %3a). Fails (fail) with apt-get's report when it
# cannot be fetched.
fetch_deb() {
  deb_=$1/${2}_$(printf '%s' "$4" | sed 's/:/%3a/')_$3.deb
  if [ ! -s "$deb_" ]; then
    (cd "$1" && apt-get download -q "$2:$3=$4" >/dev/null 2>"$1/$2.err") ||
      { cat "$1/$2.err" >&2; fail "apt-get download $2:$3=$4 failed"; }
    [ -s "$deb_" ] || fail "apt-get download $2:$3=$4 gave no $deb_"
    rm -f "$1/$2.err"
  fi
  echo "$deb_"
}
