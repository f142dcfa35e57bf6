#!/usr/bin/env bash
# Installs the build into a temporary prefix, as a user runs `cmake --install build --prefix DIR`,
# and checks what lands there: both programs (tarnwick-cli runs from the prefix and reads an
# installed example), a desktop entry that desktop-file-validate accepts, the icon in the hicolor
# theme at 16, 32, 48 and 256 pixels, and a MIME type for layout files that the shared MIME
# database takes; the desktop entry claims that type and hands the file to the editor.
#   install_test.sh CMAKE BUILD_DIR
set -u
cmake=$1
build=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix="$work/prefix"
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

if ! "$cmake" --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1; then
  cat "$work/install.log"
  echo "FAIL: cmake --install failed"
  exit 1
fi

for program in tarnwick tarnwick-cli; do
  [ -x "$prefix/bin/$program" ] || fail "$prefix/bin/$program is not installed"
done

help=$("$prefix/bin/tarnwick-cli" --help 2>&1)
status=$?
[ $status -eq 0 ] || fail "tarnwick-cli --help ended with status $status: $help"
case $help in
*"Usage: tarnwick-cli"*) ;;
*) fail "tarnwick-cli --help printed no usage: $help" ;;
esac

example="$prefix/share/doc/tarnwick/examples/amplifier_stage.twk"
info=$("$prefix/bin/tarnwick-cli" info "$example" 2>&1)
status=$?
[ $status -eq 0 ] || fail "tarnwick-cli info on the installed example ended with $status: $info"
case $info in
*"traces: 60"*) ;;
*) fail "tarnwick-cli info did not read the installed example: $info" ;;
esac

desktop="$prefix/share/applications/tarnwick.desktop"
if ! command -v desktop-file-validate >/dev/null; then
  fail "desktop-file-validate is missing (scripts/install-deps installs desktop-file-utils)"
elif [ ! -f "$desktop" ]; then
  fail "no desktop entry $desktop"
elif ! report=$(desktop-file-validate "$desktop" 2>&1) || [ -n "$report" ]; then
  fail "desktop-file-validate rejects the desktop entry: $report"
fi
# The file manager opens layouts with the editor, which takes the file as its argument.
if [ -f "$desktop" ]; then
  grep -qx 'MimeType=application/x-tarnwick-layout;' "$desktop" ||
    fail "the desktop entry does not claim application/x-tarnwick-layout: $(grep MimeType "$desktop")"
  grep -qx 'Exec=tarnwick %f' "$desktop" ||
    fail "the desktop entry does not pass the file to the editor: $(grep Exec "$desktop")"
fi

# The editor answers --help and --version without a display, and refuses unknown options.
version=$(env -u DISPLAY -u WAYLAND_DISPLAY "$prefix/bin/tarnwick" --version 2>&1)
[ "$version" = "Tarnwick v0.1" ] || fail "tarnwick --version printed: $version"
case $(env -u DISPLAY -u WAYLAND_DISPLAY "$prefix/bin/tarnwick" --help 2>&1) in
*"Usage: tarnwick"*) ;;
*) fail "tarnwick --help printed no usage" ;;
esac
refusal=$(env -u DISPLAY -u WAYLAND_DISPLAY "$prefix/bin/tarnwick" --bogus 2>&1)
status=$?
[ $status -eq 2 ] || fail "tarnwick --bogus ended with status $status, expected 2"
case $refusal in
*"unknown option --bogus"*"Usage: tarnwick"*) ;;
*) fail "tarnwick --bogus printed: $refusal" ;;
esac

# The width and height of a PNG, from its header.
png_size() {
  local b
  read -r -a b < <(od -An -tu1 -j16 -N8 "$1")
  echo "$(((b[0] << 24) | (b[1] << 16) | (b[2] << 8) | b[3]))x$(((b[4] << 24) | (b[5] << 16) | (b[6] << 8) | b[7]))"
}
for size in 16 32 48 256; do
  icon="$prefix/share/icons/hicolor/${size}x${size}/apps/tarnwick.png"
  if [ ! -f "$icon" ]; then
    fail "no icon $icon"
  elif [ "$(head -c 8 "$icon" | od -An -tx1 | tr -d ' \n')" != "89504e470d0a1a0a" ]; then
    fail "$icon is not a PNG"
  elif [ "$(png_size "$icon")" != "${size}x${size}" ]; then
    fail "$icon is $(png_size "$icon"), expected ${size}x${size}"
  fi
done

mime="$prefix/share/mime"
if [ ! -f "$mime/packages/tarnwick.xml" ]; then
  fail "no MIME type $mime/packages/tarnwick.xml"
elif ! command -v update-mime-database >/dev/null; then
  fail "update-mime-database is missing (scripts/install-deps installs shared-mime-info)"
elif ! report=$(XDG_DATA_DIRS="$prefix/share" update-mime-database "$mime" 2>&1) ||
  [ -n "$report" ]; then
  fail "update-mime-database rejects the MIME type: $report"
elif ! grep -q ':application/x-tarnwick-layout:\*\.twk' "$mime/globs2"; then
  fail "the MIME database does not map *.twk to application/x-tarnwick-layout"
fi

if [ $failures -ne 0 ]; then
  echo "installed files:"
  (cd "$prefix" && find . -type f | sort)
  exit 1
fi
echo "installed into a temporary prefix: programs, desktop entry, icons and MIME type all fine"
