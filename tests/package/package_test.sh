#!/usr/bin/env bash
# Builds the Debian package as `make package` does, unpacks it with dpkg-deb -x and finds every
# file it must carry: all that `cmake --install` installs (the same list, under /usr), the
# manual pages, the bash completion, the icons at each size (not a small picture blown up),
# the changelog and the copyright. dpkg-deb -I must name the libraries the programs need, and
# lintian, where it is installed, must report no error.
#   package_test.sh CMAKE CPACK BUILD_DIR VERSION
set -u
cmake=$1
cpack=$2
build=$3
version=$4

for tool in dpkg-deb dpkg-shlibdeps dpkg; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIP: $tool is missing (dpkg, and dpkg-dev that scripts/install-deps installs)"
    exit 77
  fi
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

if ! "$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log"
  echo "FAIL: cpack could not build the package"
  exit 1
fi
deb_name="tarnwick_${version}_$(dpkg --print-architecture).deb"
deb="$work/out/$deb_name"
if [ ! -f "$deb" ]; then
  echo "FAIL: no $deb_name; cpack made: $(cd "$work/out" && ls ./*.deb 2>/dev/null)"
  exit 1
fi
echo "package: $deb_name, $(stat -c %s "$deb") bytes"

root="$work/root"
dpkg-deb -x "$deb" "$root" || fail "dpkg-deb -x cannot unpack the package"

# What `cmake --install` puts into a prefix, the package has under /usr, and nothing else.
"$cmake" --install "$build" --prefix "$work/prefix" >"$work/install.log" 2>&1 ||
  fail "cmake --install failed: $(cat "$work/install.log")"
(cd "$work/prefix" && find . -type f | sort) >"$work/installed"
(cd "$root/usr" && find . -type f | sort) >"$work/packaged"
if ! diff -u "$work/installed" "$work/packaged" >"$work/files.diff"; then
  fail "the package does not carry what cmake --install installs (- installed, + packaged):"
  cat "$work/files.diff"
fi

share="$root/usr/share"
for program in tarnwick tarnwick-cli; do
  [ -x "$root/usr/bin/$program" ] || fail "no program usr/bin/$program"
done
for file in applications/tarnwick.desktop mime/packages/tarnwick.xml \
  bash-completion/completions/tarnwick-cli doc/tarnwick/copyright \
  doc/tarnwick/examples/amplifier_stage.twk \
  icons/hicolor/scalable/apps/tarnwick.svg \
  icons/hicolor/scalable/mimetypes/application-x-tarnwick-layout.svg; do
  [ -s "$share/$file" ] || fail "no file usr/share/$file"
done

# Compressed as Debian keeps them, and readable by man: a title line naming the version.
for page in tarnwick tarnwick-cli; do
  gz="$share/man/man1/$page.1.gz"
  if [ ! -f "$gz" ]; then
    fail "no manual page usr/share/man/man1/$page.1.gz"
  elif ! title=$(gzip -dc "$gz" | grep -m1 '^\.TH'); then
    fail "$page.1.gz is not a compressed manual page"
  else
    case $title in
    *"\"Tarnwick $version\""*) ;;
    *) fail "$page.1 does not name version $version: $title" ;;
    esac
  fi
done

# The changelog's newest entry is the package's version.
changelog="$share/doc/tarnwick/changelog.gz"
if [ ! -f "$changelog" ]; then
  fail "no usr/share/doc/tarnwick/changelog.gz"
else
  first=$(gzip -dc "$changelog" | head -n1)
  [ "$first" = "tarnwick ($version) unstable; urgency=medium" ] ||
    fail "the changelog's newest entry is not version $version: $first"
fi

# The width and height of a PNG, from its header.
png_size() {
  local b
  read -r -a b < <(od -An -tu1 -j16 -N8 "$1")
  echo "$(((b[0] << 24) | (b[1] << 16) | (b[2] << 8) | b[3]))x$(((b[4] << 24) | (b[5] << 16) | (b[6] << 8) | b[7]))"
}
for icon in apps/tarnwick mimetypes/application-x-tarnwick-layout; do
  for size in 16 32 48 64 128 256; do
    png="$share/icons/hicolor/${size}x${size}/$icon.png"
    if [ ! -f "$png" ]; then
      fail "no icon usr/share/icons/hicolor/${size}x${size}/$icon.png"
    elif [ "$(png_size "$png")" != "${size}x${size}" ]; then
      fail "$icon.png in ${size}x${size} is $(png_size "$png")"
    fi
  done
  # Drawn at its size: the large icon is not a smaller picture enlarged pixel by pixel, which
  # would come back unchanged from shrinking and enlarging again.
  big="$share/icons/hicolor/256x256/$icon.png"
  if [ -f "$big" ] && command -v compare >/dev/null; then
    for small in 16 32 64; do
      convert "$big" -sample ${small}x$small -sample 256x256 "$work/blown-up.png"
      differing=$(compare -metric AE "$big" "$work/blown-up.png" null: 2>&1)
      [ "${differing%% *}" -gt 1000 ] 2>/dev/null ||
        fail "the 256 px $icon.png is a ${small} px picture blown up ($differing pixels differ)"
    done
  fi
done

# The control file: name, version, architecture, a description and the libraries found.
info=$(dpkg-deb -I "$deb")
for field in "Package: tarnwick" "Version: $version" \
  "Architecture: $(dpkg --print-architecture)" "Description: stripboard layout editor"; do
  grep -q "^ $field\$" <<<"$info" || fail "dpkg-deb -I shows no '$field'"
done
depends=$(sed -n 's/^ Depends: //p' <<<"$info")
depended=$(tr ',' '\n' <<<"$depends" | sed 's/^ *//; s/[ (].*//')
for library in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6 \
  libpng16-16; do
  grep -Fqx "$library" <<<"$depended" || fail "Depends does not name $library: $depends"
done
[ "$(grep -c '^  ' <<<"$info")" -ge 5 ] || fail "the description has no readable long text"

if command -v lintian >/dev/null; then
  if ! report=$(lintian --fail-on error "$deb" 2>&1 | grep -v 'running with root privileges'
    exit "${PIPESTATUS[0]}"); then
    fail "lintian reports errors:"
    echo "$report"
  else
    echo "lintian: no error${report:+; it said:}"
    [ -n "$report" ] && echo "$report"
  fi
else
  echo "lintian is not installed; its check is left out"
fi

if [ $failures -ne 0 ]; then
  echo "files of the package:"
  (cd "$root" && find . -type f | sort)
  exit 1
fi
echo "the package carries every file, names its dependencies and passes its checks"
