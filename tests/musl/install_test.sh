#!/bin/sh
# One step of the install test of a musl build:
#   install_test.sh <settings.sh> tree|pkgconfig|cmake|packages|without_emulator
# As tests/install/install_test.sh, whose steps it runs, except for the test
# sysroot: a musl firmware SDK's sysroot holds musl's GLib, so the tree step
# mirrors the musl sysroot the kit was built against (MUSL_SYSROOT) into it
# instead of the armhf GLib of the package system. The consumer programs are
# linked statically (CC_FLAGS), pkg-config naming what the static libraries
# need in turn.
set -eu
. "$1"
step=$2
sysroot=$WORK/sysroot

case $step in
tree)
  rm -rf "$WORK/prefix" "$sysroot"
  mkdir -p "$WORK"
  DESTDIR=$sysroot "$CMAKE" --install "$BUILD_DIR" --prefix /usr
  # GLib and what it needs, as links, beside the kit (which wins on a clash).
  (cd "$MUSL_SYSROOT" && find usr -type f) | while read -r file; do
    [ -e "$sysroot/$file" ] && continue
    mkdir -p "$sysroot/${file%/*}"
    ln -s "$MUSL_SYSROOT/$file" "$sysroot/$file"
  done
  ;;
pkgconfig)
  # pkg-config --static: a consumer of the static libraries links GLib's own
  # dependencies too.
  mkdir -p "$WORK/bin"
  printf '#!/bin/sh\nexec %s --static "$@"\n' "$PKG_CONFIG" >"$WORK/bin/pkg-config"
  chmod +x "$WORK/bin/pkg-config"
  settings=$WORK/settings-static.sh
  { cat "$1"; echo "PKG_CONFIG='$WORK/bin/pkg-config'"; } >"$settings"
  exec sh "$SOURCE_DIR/tests/install/install_test.sh" "$settings" "$step"
  ;;
cmake)
  # The consumer project's toolchain takes GLib from the test sysroot.
  settings=$WORK/settings-cmake.sh
  { cat "$1"; echo "TOOLCHAIN='$WORK/toolchain.cmake'"; } >"$settings"
  printf 'set(TOLVA_MUSL_SYSROOT "%s")\ninclude("%s")\n' "$sysroot" "$TOOLCHAIN" >"$WORK/toolchain.cmake"
  exec sh "$SOURCE_DIR/tests/install/install_test.sh" "$settings" "$step"
  ;;
*)
  exec sh "$SOURCE_DIR/tests/install/install_test.sh" "$1" "$step"
  ;;
esac
