# Sourced by the scripts/build_*_win64.sh scripts: the steps every win64
# dependency shares. Each is built from Debian's source package into the
# dependency cache, outside the source tree:
#   ${ZV_DEPS_DIR:-$HOME/.cache/zelvora-deps}/<name>-<version>-win64/{include,lib}
# The source comes through a private apt configuration (own sources file and
# lists directory), so the system's apt set-up is never touched.
#
#   deps_begin NAME VERSION   returns from the whole script (exit 0) when the
#                             cache holds this version, else takes the lock and
#                             gives an empty $WORK; sets PREFIX and WORK
#   deps_fetch_source PACKAGE downloads, checks and unpacks the source package
#                             into $SRC; sets DEB_VERSION, SRC and
#                             DEPS_PATCHED (1 when Debian's patches applied)
#   deps_install STAGE        makes the staged tree the cache entry
#
# A mirror may lack a package's Debian part (the debian.tar.* with Debian's
# patches). The build then fails, unless the caller set
# DEPS_UPSTREAM_FALLBACK=1 before deps_fetch_source: it then gets the bare
# upstream tree with DEPS_PATCHED=0 and decides what it can build from it.
#
# The caller sets `set -euo pipefail`; messages carry the calling script's name.

DEPS_TOOL=$(basename "$0" .sh)

deps_fail() {
  echo "$DEPS_TOOL: $*" >&2
  exit 1
}

deps_begin() {
  DEPS_NAME=$1
  DEPS_VERSION=$2
  DEPS_DIR="${ZV_DEPS_DIR:-$HOME/.cache/zelvora-deps}"
  PREFIX="$DEPS_DIR/$DEPS_NAME-$DEPS_VERSION-win64"
  DEPS_STAMP="$PREFIX/.complete"

  [ -f "$DEPS_STAMP" ] && exit 0

  mkdir -p "$DEPS_DIR"
  # Two set-ups at once (parallel checkouts) must not build into one tree.
  exec 9>"$DEPS_DIR/$DEPS_NAME-$DEPS_VERSION-win64.lock"
  flock 9
  [ -f "$DEPS_STAMP" ] && exit 0

  local tool
  for tool in apt-get dpkg-source sha256sum x86_64-w64-mingw32-gcc-posix make; do
    command -v "$tool" >/dev/null || deps_fail "$tool is missing (run scripts/setup.sh)"
  done

  WORK="$DEPS_DIR/.work-$DEPS_NAME-$DEPS_VERSION"
  rm -rf "$WORK"
  mkdir -p "$WORK"
}

# The mirror the system already uses for bookworm main; deb.debian.org when
# none can be read.
deps_system_mirror() {
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

deps_fetch_source() {
  local package=$1
  mkdir -p "$WORK/apt/lists/partial" "$WORK/apt/cache/archives/partial" "$WORK/download"

  local mirror keyring=/usr/share/keyrings/debian-archive-keyring.gpg
  mirror=$(deps_system_mirror)
  cat >"$WORK/apt/sources.list" <<EOF
# Private to the $DEPS_NAME build: only Debian's source index for bookworm main.
deb-src [signed-by=$keyring] $mirror bookworm main
EOF

  local apt_opts=(
    -o "Dir::Etc::sourcelist=$WORK/apt/sources.list"
    -o "Dir::Etc::SourceParts=/nonexistent"
    -o "Dir::State::Lists=$WORK/apt/lists"
    -o "Dir::Cache=$WORK/apt/cache"
    -o "APT::Sandbox::User=root"
  )

  echo "$DEPS_TOOL: fetching the $package source package from $mirror"
  apt-get "${apt_opts[@]}" -qq update
  # The mirror may have no signature (.asc) for the upstream tarball, and
  # apt-get reports that 404 as a failure; what counts is the check against
  # the .dsc below.
  (cd "$WORK/download" && apt-get "${apt_opts[@]}" -qq source --download-only "$package") ||
    echo "$DEPS_TOOL: apt-get source reported a missing file; checking against the .dsc"

  local dsc
  dsc=$(ls "$WORK/download/${package}"_*.dsc 2>/dev/null | head -n1)
  [ -n "$dsc" ] || deps_fail "no .dsc downloaded"
  DEB_VERSION=$(awk '/^Version:/ { print $2; exit }' "$dsc")
  local upstream=${DEB_VERSION%%-*}
  upstream=${upstream#*:}
  [ "$upstream" = "$DEPS_VERSION" ] ||
    deps_fail "Debian now has $package $DEB_VERSION, expected $DEPS_VERSION;" \
              "update the version in $0 and the $DEPS_NAME cache folder in CMakeLists.txt"

  # Every file the .dsc lists must be there with its recorded sha256, except the
  # upstream signature, which the build does not use, and the Debian part when
  # the caller can do without it. apt-get checked the .dsc itself against the
  # signed source index.
  local checked=0 sum size name orig="" debian_missing=0
  while read -r sum size name; do
    [ -n "$name" ] || continue
    [[ "$name" == *.orig.tar.* && "$name" != *.asc ]] && orig=$name
    if [ ! -f "$WORK/download/$name" ]; then
      [[ "$name" == *.asc ]] && continue
      if [[ "$name" == *.debian.tar.* ]] && [ "${DEPS_UPSTREAM_FALLBACK:-0}" = 1 ]; then
        debian_missing=1
        continue
      fi
      deps_fail "the mirror did not deliver $name"
    fi
    echo "$sum  $WORK/download/$name" | sha256sum -c --quiet - ||
      deps_fail "sha256 mismatch for $name"
    checked=$((checked + 1))
  done < <(awk '/^Checksums-Sha256:/ { on=1; next } on && /^ / { print $1, $2, $3; next } on { exit }' "$dsc")
  [ "$checked" -gt 0 ] || deps_fail "the .dsc lists no sha256 sums"

  SRC="$WORK/$package-src"
  if [ "$debian_missing" = 1 ]; then
    [ -n "$orig" ] || deps_fail "the .dsc names no upstream tarball"
    echo "$DEPS_TOOL: the mirror has no Debian part of $package; using the bare upstream source"
    mkdir -p "$SRC"
    tar -xf "$WORK/download/$orig" -C "$SRC" --strip-components=1
    DEPS_PATCHED=0
    return
  fi
  # dpkg-source applies debian/patches/series (Debian's fixes) while it
  # unpacks. --no-check: the sums are verified above, and a missing .asc would
  # stop it.
  dpkg-source --no-check -x "$dsc" "$SRC" >/dev/null
  DEPS_PATCHED=1
}

# A staging folder first, so an interrupted run leaves no half cache.
deps_install() {
  local stage=$1
  if [ "${DEPS_PATCHED:-1}" = 1 ]; then
    echo "$DEB_VERSION" >"$stage/.complete"
  else
    echo "$DEB_VERSION without Debian's patches" >"$stage/.complete"
  fi
  rm -rf "$PREFIX"
  mv "$stage" "$PREFIX"
  rm -rf "$WORK"
  echo "$DEPS_TOOL: installed $PREFIX"
}
