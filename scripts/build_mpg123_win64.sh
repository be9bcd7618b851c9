#!/usr/bin/env bash
# Builds the static libmpg123 for the win64 build from Debian's source package
# and installs it into the dependency cache, outside the source tree:
#   ${ZV_DEPS_DIR:-$HOME/.cache/zelvora-deps}/mpg123-<version>-win64/{include,lib}
# The source comes through a private apt configuration (own sources file and
# lists directory), so the system's apt set-up is never touched. Idempotent:
# returns at once when the cache holds this version.
set -euo pipefail

# Upstream version; CMakeLists.txt's ZV_MPG123_WIN64_DIR default names the
# same one. Bookworm keeps it and ships fixes as Debian revisions.
MPG123_VERSION=1.31.2

DEPS_DIR="${ZV_DEPS_DIR:-$HOME/.cache/zelvora-deps}"
PREFIX="$DEPS_DIR/mpg123-$MPG123_VERSION-win64"
STAMP="$PREFIX/.complete"

[ -f "$STAMP" ] && exit 0

mkdir -p "$DEPS_DIR"
# Two set-ups at once (parallel checkouts) must not build into one tree.
exec 9>"$DEPS_DIR/mpg123-$MPG123_VERSION-win64.lock"
flock 9
[ -f "$STAMP" ] && exit 0

for tool in apt-get dpkg-source sha256sum x86_64-w64-mingw32-gcc-posix make; do
  command -v "$tool" >/dev/null || { echo "build_mpg123_win64: $tool is missing (run scripts/setup.sh)" >&2; exit 1; }
done

# The mirror the system already uses for bookworm main; deb.debian.org when
# none can be read.
system_mirror() {
  local f uri=""
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    # deb822 stanzas: the URIs of the first one whose suites name bookworm itself.
    uri=$(awk '
      /^[[:space:]]*$/ { if (u != "" && s ~ /(^| )bookworm( |$)/) { print u; exit } u=""; s=""; next }
      /^URIs:/ { u=$2 }
      /^Suites:/ { $1=""; s=$0" " }
      END { if (u != "" && s ~ /(^| )bookworm( |$)/) print u }' "$f" | head -n1)
    [ -n "$uri" ] && { echo "$uri"; return; }
  done
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$f" ] || continue
    uri=$(awk '$1 == "deb" { i=2; if ($2 ~ /^\[/) { while (i <= NF && $i !~ /\]$/) i++; i++ }
                             if ($(i+1) == "bookworm") { print $i; exit } }' "$f")
    [ -n "$uri" ] && { echo "$uri"; return; }
  done
  echo "http://deb.debian.org/debian"
}

WORK="$DEPS_DIR/.work-mpg123-$MPG123_VERSION"
rm -rf "$WORK"
mkdir -p "$WORK/apt/lists/partial" "$WORK/apt/cache/archives/partial" "$WORK/download"

MIRROR=$(system_mirror)
KEYRING=/usr/share/keyrings/debian-archive-keyring.gpg
cat >"$WORK/apt/sources.list" <<EOF
# Private to the mpg123 build: only Debian's source index for bookworm main.
deb-src [signed-by=$KEYRING] $MIRROR bookworm main
EOF

APT_OPTS=(
  -o "Dir::Etc::sourcelist=$WORK/apt/sources.list"
  -o "Dir::Etc::SourceParts=/nonexistent"
  -o "Dir::State::Lists=$WORK/apt/lists"
  -o "Dir::Cache=$WORK/apt/cache"
  -o "APT::Sandbox::User=root"
)

echo "build_mpg123_win64: fetching the mpg123 source package from $MIRROR"
apt-get "${APT_OPTS[@]}" -qq update
# The mirror has no signature (.asc) for the upstream tarball and apt-get
# reports that 404 as a failure; what counts is the check against the .dsc below.
(cd "$WORK/download" && apt-get "${APT_OPTS[@]}" -qq source --download-only mpg123) ||
  echo "build_mpg123_win64: apt-get source reported a missing file; checking against the .dsc"

DSC=$(ls "$WORK"/download/mpg123_*.dsc 2>/dev/null | head -n1)
[ -n "$DSC" ] || { echo "build_mpg123_win64: no .dsc downloaded" >&2; exit 1; }
DEB_VERSION=$(awk '/^Version:/ { print $2; exit }' "$DSC")
UPSTREAM=${DEB_VERSION%%-*}
UPSTREAM=${UPSTREAM#*:}
if [ "$UPSTREAM" != "$MPG123_VERSION" ]; then
  echo "build_mpg123_win64: Debian now has mpg123 $DEB_VERSION, expected $MPG123_VERSION;" \
       "update MPG123_VERSION here and ZV_MPG123_WIN64_DIR in CMakeLists.txt" >&2
  exit 1
fi

# Every file the .dsc lists must be there with its recorded sha256, except the
# upstream signature, which the build does not use. apt-get checked the .dsc
# itself against the signed source index.
checked=0
while read -r sum size name; do
  [ -n "$name" ] || continue
  if [ ! -f "$WORK/download/$name" ] && [[ "$name" == *.asc ]]; then
    continue
  fi
  echo "$sum  $WORK/download/$name" | sha256sum -c --quiet - ||
    { echo "build_mpg123_win64: sha256 mismatch for $name" >&2; exit 1; }
  checked=$((checked + 1))
done < <(awk '/^Checksums-Sha256:/ { on=1; next } on && /^ / { print $1, $2, $3; next } on { exit }' "$DSC")
[ "$checked" -gt 0 ] || { echo "build_mpg123_win64: the .dsc lists no sha256 sums" >&2; exit 1; }

# dpkg-source applies debian/patches/series (Debian's fixes) while it
# unpacks. --no-check: the sums are verified above, and the missing .asc would
# stop it.
SRC="$WORK/mpg123-src"
dpkg-source --no-check -x "$DSC" "$SRC" >/dev/null
grep -q 'CVE-2024-10573' "$SRC/.pc/applied-patches" 2>/dev/null ||
  { echo "build_mpg123_win64: Debian's CVE-2024-10573 fix was not applied" >&2; exit 1; }

BUILD="$WORK/build"
mkdir -p "$BUILD"
echo "build_mpg123_win64: building mpg123 $DEB_VERSION for win64 (about 90 s)"
(
  cd "$BUILD"
  "$SRC/configure" --host=x86_64-w64-mingw32 CC=x86_64-w64-mingw32-gcc-posix \
    --enable-static --disable-shared --with-cpu=x86-64 --disable-modules \
    --enable-network=no --enable-ipv6=no --with-audio=dummy --with-default-audio=dummy \
    >configure.log 2>&1 || { tail -n 30 configure.log >&2; exit 1; }
  make -j2 src/libmpg123/libmpg123.la >make.log 2>&1 || { tail -n 30 make.log >&2; exit 1; }
)

# Install into a staging folder first so an interrupted run leaves no half cache.
STAGE="$PREFIX.staging"
rm -rf "$STAGE"
mkdir -p "$STAGE/include" "$STAGE/lib"
cp "$BUILD/src/libmpg123/.libs/libmpg123.a" "$STAGE/lib/"
for h in mpg123.h fmt123.h; do
  if [ -f "$BUILD/src/libmpg123/$h" ]; then
    cp "$BUILD/src/libmpg123/$h" "$STAGE/include/"
  else
    cp "$SRC/src/libmpg123/$h" "$STAGE/include/"
  fi
done
echo "$DEB_VERSION" >"$STAGE/.complete"
rm -rf "$PREFIX"
mv "$STAGE" "$PREFIX"
rm -rf "$WORK"
echo "build_mpg123_win64: installed $PREFIX"
