#!/bin/sh
# One step of the install test of a build:
#   install_test.sh <settings.sh> tree|pkgconfig|cmake|packages|subproject|without_emulator
# settings.sh (written by CMakeLists.txt) describes the build.
#
# tree installs the kit: a host build into a prefix, a cross build staged with
# DESTDIR into a test sysroot, as a firmware build does. The other steps use
# that tree and write into folders of their own, so they may run in parallel.
#
# The test sysroot: a firmware SDK's sysroot holds GLib next to the staged
# kit. Here the armhf GLib of the package system stands in for it, mirrored
# into the sysroot as symbolic links (usr/lib/<multiarch>, usr/include/glib-2.0)
# after the kit is staged, so that pkg-config with PKG_CONFIG_SYSROOT_DIR sees
# the sysroot alone, as in a firmware build. Every -I and -L it gives must lie
# inside the sysroot: a path of the build machine would show a .pc file that
# does not follow the sysroot.
#
# A cross build stages, mirrors GLib and builds a test program with the
# commands of docs/building.md ("Firmware builds"), taken from the document at
# run time, so the recipe there is the one tested. A native build follows the
# README's ten-minute path the same way (step ten_minutes).
set -eu
. "$1"
step=$2
jobs=$(nproc 2>/dev/null || echo 2)
consumers=$SOURCE_DIR/tests/install/consumers
if [ -n "$CROSS" ]; then
  sysroot=$WORK/sysroot
  root=$sysroot/usr
else
  root=$WORK/prefix
fi

fail() {
  echo "FAILED: $*" >&2
  exit 1
}

# The text of the code block after "<!-- recipe: $1 -->" in README.md or
# docs/*.md: its lines without their indent, blank lines inside it kept.
recipe() {
  awk -v marker="<!-- recipe: $1 -->" '
    $0 == marker { found = 1; next }
    found && /^    / { for (; blank > 0; blank--) print ""; sub(/^    /, ""); print; started = 1; next }
    found && /^$/ { if (started) blank++; next }
    found { exit }
  ' "$SOURCE_DIR/README.md" "$SOURCE_DIR"/docs/*.md
}

# Runs the recipe $1 in the folder $2 with SYSROOT (and BUILD_DIR) set, in a
# shell of its own that stops at the first failing command; $3 rewrites the
# commands (sed).
run_recipe() {
  commands=$(recipe "$1" | sed "${3:-}")
  [ -n "$commands" ] || fail "no recipe $1 in README.md or docs/*.md"
  printf '%s\n' "$commands"
  (cd "$2" && SYSROOT=${sysroot:-} BUILD_DIR=$BUILD_DIR sh -eu -c "$commands") || fail "recipe $1"
}

# Runs the consumer programs in $1 and compares each one's whole output; none
# may need the C++ run-time library.
run_consumers() {
  for lib in $LIBRARIES; do
    if "$READELF" -d "$1/use_$lib" | grep NEEDED | grep -q 'libstdc++'; then
      fail "$1/use_$lib needs libstdc++"
    fi
    # shellcheck disable=SC2086
    out=$($EMULATOR "$1/use_$lib") || fail "$1/use_$lib exited with $?"
    [ "$out" = "$lib $VERSION" ] || fail "$1/use_$lib printed \"$out\", not \"$lib $VERSION\""
    echo "$1/use_$lib: $out"
  done
}

case $step in
tree)
  rm -rf "$WORK/prefix" "$WORK/sysroot"
  mkdir -p "$WORK"
  if [ -n "$CROSS" ]; then
    # The staging line of the recipe, for this build's folder.
    run_recipe firmware-stage "$SOURCE_DIR" "/cmake --install/!d; s|build/fw|\"\$BUILD_DIR\"|"
    run_recipe debian-glib "$WORK"
  else
    "$CMAKE" --install "$BUILD_DIR" --prefix "$root"
  fi
  expected="$INCLUDEDIR/fieldaudit_version.h $CMAKEDIR/fieldauditConfig.cmake
    $CMAKEDIR/fieldauditConfigVersion.cmake $CMAKEDIR/fieldauditTargets.cmake"
  for header in "$SOURCE_DIR"/include/*.h; do
    expected="$expected $INCLUDEDIR/${header##*/}"
  done
  for lib in $LIBRARIES; do
    expected="$expected $LIBDIR/lib$lib.a $LIBDIR/pkgconfig/$lib.pc"
  done
  for program in $PROGRAMS; do
    expected="$expected $BINDIR/$program"
  done
  for file in $expected; do
    [ -f "$root/$file" ] || fail "$file not installed"
  done
  ;;

pkgconfig)
  dir=$WORK/pkgconfig
  rm -rf "$dir"
  mkdir -p "$dir"
  if [ -n "$CROSS" ]; then
    export PKG_CONFIG_SYSROOT_DIR="$sysroot"
    export PKG_CONFIG_LIBDIR="$root/$LIBDIR/pkgconfig:$root/lib/$MULTIARCH/pkgconfig:$root/share/pkgconfig"
  else
    export PKG_CONFIG_PATH="$root/$LIBDIR/pkgconfig"
  fi
  for lib in $LIBRARIES; do
    [ -f "$consumers/$lib.c" ] || fail "no consumer program $consumers/$lib.c"
    version=$("$PKG_CONFIG" --modversion "$lib")
    [ "$version" = "$VERSION" ] || fail "pkg-config --modversion $lib: $version"
    flags=$("$PKG_CONFIG" --cflags --libs "$lib") || fail "pkg-config --cflags --libs $lib"
    echo "$lib: $flags"
    if [ -n "$CROSS" ]; then
      for flag in $flags; do
        case $flag in
        -I"$sysroot"/* | -L"$sysroot"/* | -[!IL]*) ;;
        *) fail "$lib: $flag lies outside the sysroot" ;;
        esac
      done
    fi
    # shellcheck disable=SC2086
    "$CC" $CC_FLAGS -std=c99 -Wall -Wextra -pedantic -Werror "-DKIT_LIBRARY=\"$lib\"" \
      "$consumers/$lib.c" $flags -o "$dir/use_$lib" || fail "use_$lib did not build"
  done
  run_consumers "$dir"
  if [ -n "$CROSS" ] && [ -z "$MUSL_SYSROOT" ]; then
    # The pkg-config recipe as written, for its compiler (the glibc
    # toolchain and Debian's armhf GLib; a musl build's consumers above stand
    # for a musl firmware SDK).
    recipe_dir=$WORK/recipe
    rm -rf "$recipe_dir"
    mkdir -p "$recipe_dir"
    cp "$SOURCE_DIR/tests/install/recipe_test.c" "$recipe_dir/test.c"
    run_recipe firmware-pkg-config "$recipe_dir"
    # shellcheck disable=SC2086
    out=$($EMULATOR "$recipe_dir/test") || fail "the recipe's program exited with $?"
    [ "$out" = "recipe $VERSION" ] || fail "the recipe's program printed \"$out\""
    echo "$recipe_dir/test: $out"
  fi
  ;;

cmake | subproject)
  dir=$WORK/$step
  rm -rf "$dir"
  if [ "$step" = cmake ]; then
    where="-DCMAKE_PREFIX_PATH=$root"
  else
    where="-DKIT_SOURCE_DIR=$SOURCE_DIR"
  fi
  if [ -n "$CROSS" ]; then
    set -- "-DCMAKE_TOOLCHAIN_FILE=$TOOLCHAIN"
  else
    set -- "-DCMAKE_C_COMPILER=$CC" "-DCMAKE_C_FLAGS=$CC_FLAGS" "-DCMAKE_EXE_LINKER_FLAGS=$CC_FLAGS"
  fi
  "$CMAKE" -S "$consumers" -B "$dir" "$@" "$where" \
    "-DKIT_LIBRARIES=$(echo $LIBRARIES | tr ' ' ';')" \
    "-DKIT_PROGRAMS=$(echo $PROGRAMS | tr ' ' ';')" "-DKIT_VERSION=$VERSION" >"$dir.log" 2>&1 ||
    { cat "$dir.log"; fail "configuring the consumer project"; }
  if [ "$step" = cmake ]; then
    found=$(sed -n 's/^fieldaudit_DIR:PATH=//p' "$dir/CMakeCache.txt")
    [ "$found" = "$root/$CMAKEDIR" ] || fail "find_package found $found, not $root/$CMAKEDIR"
  fi
  "$CMAKE" --build "$dir" -j "$jobs" >>"$dir.log" 2>&1 ||
    { cat "$dir.log"; fail "building the consumer project"; }
  run_consumers "$dir"
  ;;

packages)
  # DEB and TGZ hold the same files as the installed tree, under usr/.
  dir=$WORK/packages
  rm -rf "$dir"
  "$CPACK" --config "$BUILD_DIR/CPackConfig.cmake" -G "DEB;TGZ" -B "$dir" >"$dir.log" 2>&1 ||
    { cat "$dir.log"; fail "cpack"; }
  deb=$dir/${PACKAGE}_${VERSION}_$DEB_ARCH.deb
  tgz=$dir/$PACKAGE-$VERSION-$DEB_ARCH.tar.gz
  fields=$(dpkg-deb -f "$deb" Package Version Architecture Depends)
  want=$(printf 'Package: %s\nVersion: %s\nArchitecture: %s\nDepends: %s' \
    "$PACKAGE" "$VERSION" "$DEB_ARCH" "$DEB_DEPENDS")
  [ "$fields" = "$want" ] || fail "$deb control fields:
$fields
expected:
$want"
  (cd "$root" && find . -type f | sed 's|^\./|usr/|' | sort) >"$dir/installed.txt"
  dpkg-deb -c "$deb" | awk '$1 ~ /^-/ { print $6 }' | sed 's|^\./||' | sort >"$dir/deb.txt"
  tar -tzf "$tgz" | grep -v '/$' | sed 's|^\./||' | sort >"$dir/tgz.txt"
  for list in deb tgz; do
    diff -u "$dir/installed.txt" "$dir/$list.txt" || fail "$list package and installed tree differ"
  done
  echo "$deb, $tgz:"
  cat "$dir/deb.txt"
  ;;

ten_minutes)
  # The README's first test program, built against this build's libraries,
  # run with its capi-run and reported on by its capi-report, which must
  # print the README's report.
  dir=$WORK/ten-minutes
  rm -rf "$dir"
  mkdir -p "$dir"
  recipe first-test.c >"$dir/first_test.c"
  run_recipe first-test "$dir" \
    "s|\$kit/build/release|$BUILD_DIR|g; s|\$kit|$SOURCE_DIR|g; s|^cc |$CC $CC_FLAGS |; /capi-report/s|\$| >report.txt|"
  recipe first-report >"$dir/expected.txt"
  [ -s "$dir/expected.txt" ] || fail "no recipe first-report in README.md"
  diff -u "$dir/expected.txt" "$dir/report.txt" || fail "capi-report did not print the README's report"
  cat "$dir/report.txt"
  ;;

without_emulator)
  # The ARM toolchain file configures the kit when qemu-arm cannot be found:
  # a PATH of the build machine's programs without it, and no search of the
  # system folders.
  bin=$WORK/bin-without-qemu
  dir=$WORK/without-emulator
  rm -rf "$bin" "$dir"
  mkdir -p "$bin"
  cp -s /usr/bin/* "$bin/" 2>/dev/null || true
  rm -f "$bin"/qemu-arm*
  PATH=$bin "$CMAKE" -S "$SOURCE_DIR" -B "$dir" "-DCMAKE_TOOLCHAIN_FILE=$TOOLCHAIN" \
    -DCMAKE_FIND_USE_CMAKE_SYSTEM_PATH=OFF >"$dir.log" 2>&1 ||
    { cat "$dir.log"; fail "configuring without qemu-arm"; }
  said=$(grep -c 'qemu-arm not found' "$dir.log" || true)
  [ "$said" = 1 ] || { cat "$dir.log"; fail "the missing emulator was reported $said times, not once"; }
  [ ! -e "$dir/tests" ] || fail "tests are configured without an emulator"
  grep 'qemu-arm not found' "$dir.log"
  ;;

*)
  fail "unknown step $step"
  ;;
esac
