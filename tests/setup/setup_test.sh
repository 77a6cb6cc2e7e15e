#!/bin/sh
# scripts/setup against stand-ins (fake, with apt's words in replies/): per
# case each command run, every line printed, the status, the deb-src entry.
#   setup_test.sh WORK
set -eu
work=$1
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/../.." && pwd)
rm -rf "$work"
mkdir -p "$work/bin" "$work/replies"
for c in apt-get apt-cache dpkg dpkg-query id sleep; do ln -s "$here/fake" "$work/bin/$c"; done
cp "$here"/replies/* "$work/replies/"
# The host's lists without the armhf lists' version: nothing fits both.
sed '/^     6.1.176-1 500$/{N;/amd64 Packages$/d;}' "$here/replies/clash.out" >"$work/replies/clash-amd64.out"
failed=0

# run CASE MISSING FOREIGN UPDATE SIMULATE POLICY <EXPECTED (FAKE_* of fake);
# apt's folder holds a deb-src entry but in case update_ok.
run() {
  dir=$work/$1
  mkdir -p "$dir/tmp" "$dir/etc/sources.list.d"
  printf 'Types: deb\nURIs: http://deb.debian.org/debian\n' >"$dir/etc/sources.list.d/debian.sources"
  [ "$1" = update_ok ] || echo 'deb-src http://deb.debian.org/debian bookworm main' >"$dir/etc/sources.list"
  rc=0
  FAKE=$dir FAKE_REPLIES=$work/replies FAKE_MISSING=" $2 " FAKE_FOREIGN=$3 FAKE_update=$4 FAKE_simulate=$5 \
    FAKE_install=ok FAKE_policy=$6 TMPDIR=$dir/tmp TOLVA_APT_ETC=$dir/etc TOLVA_SETUP_PAUSE=7 PATH=$work/bin:$PATH \
    "$top/scripts/setup" >>"$dir/transcript" 2>&1 || rc=$?
  echo "exit $rc" >>"$dir/transcript"
  cat "$dir/etc/sources.list.d/tolva-deb-src.sources" >>"$dir/transcript" 2>/dev/null || :
  sed "s|$dir/tmp/tmp\.[^/]*|TMP|g" "$dir/transcript" >"$dir/got"
  diff -u - "$dir/got" >&2 || { echo "setup, case $1: the transcript differs (above)" >&2; failed=1; }
}

# The packages' status, root, the architectures; the updates; the installs.
list=$(sed -n '/^packages="/,/"$/{s/packages=//; s/"//; p}' "$top/scripts/setup" | tr '\n' ' ')
# shellcheck disable=SC2016
query='$ dpkg --print-architecture
$ dpkg-query -W -f=${binary:Package} ${Status}\n '${list% }
start="$query
\$ id -u
\$ dpkg --print-foreign-architectures"
again='$ apt-get update -qq
setup: apt-get update failed (status 100); trying again in 7 s (try'
left_out="$again 2 of 3)
\$ sleep 7
$again 3 of 3)
\$ sleep 7
\$ apt-get update -qq
setup: index not loaded after 3 tries, going on without it: http://deb.debian.org/debian-security/dists/bookworm-security/main/binary-armhf/Packages.xz (File has unexpected size (359552 != 360800). Mirror sync in progress?)"
install='$ apt-get install -s --no-install-recommends musl-dev:armhf
$ apt-get install -y -qq --no-install-recommends musl-dev:armhf
exit 0'
pins='-o Dir::Etc::Preferences=TMP/preferences libglib2.0-dev:armhf musl-dev:armhf'
clash="$start
$left_out
\$ apt-get install -s --no-install-recommends libglib2.0-dev:armhf musl-dev:armhf
\$ apt-cache policy
\$ apt-get install -s --no-install-recommends $pins
> Package: *
> Pin: release n=bookworm-security
> Pin-Priority: 100
>
\$ dpkg-query -W -f=\${Package} \${Multi-Arch}\\n linux-libc-dev:amd64
\$ apt-cache policy linux-libc-dev linux-libc-dev:armhf
setup: linux-libc-dev:armhf cannot be installed beside linux-libc-dev 6.1.187-1 of the host: it is Multi-Arch: same (one version for both architectures) and the armhf package lists lack 6.1.187-1 (they have 6.1.176-1)"
versions="$pins linux-libc-dev=6.1.176-1 linux-libc-dev:armhf=6.1.176-1"

run update_ok musl-dev:armhf "" ok ok "" <<END
$start
\$ dpkg --add-architecture armhf
\$ apt-get update -qq
$install
Types: deb-src
URIs: http://deb.debian.org/debian

END
run update_fails_once musl-dev:armhf armhf "mirror:100 ok" ok "" <<END
$start
$again 2 of 3)
\$ sleep 7
\$ apt-get update -qq
$install
END
run index_left_out musl-dev:armhf armhf mirror:100 ok "" <<END
$start
$left_out
$install
END
run clash_resolved "libglib2.0-dev:armhf musl-dev:armhf" armhf mirror:100 "held:100 held:100 ok" "release clash" <<END
$clash
setup: installing linux-libc-dev 6.1.176-1 for both amd64 and armhf, in place of the host's 6.1.187-1
\$ apt-get install -s --no-install-recommends --allow-downgrades $versions
setup: installing with bookworm-security pinned down (Pin: release n=bookworm-security, Pin-Priority: 100) for this command only, as its index did not load
\$ apt-get install -y -qq --no-install-recommends --allow-downgrades $versions
exit 0
END
run clash_unresolved "libglib2.0-dev:armhf musl-dev:armhf" armhf mirror:100 held:100 "release clash-amd64" <<END
$clash
setup: linux-libc-dev 6.1.176-1 is not in the amd64 lists either: run scripts/setup again once the armhf lists have 6.1.187-1 (a mirror in the middle of a sync), or install linux-libc-dev and linux-libc-dev:armhf at one version by hand; apt-get's report follows
$(cat "$here/replies/held.out")
exit 1
END
run nothing_missing "" armhf "" "" "" <<END
$query
exit 0
END
exit "$failed"
