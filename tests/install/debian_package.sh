#!/usr/bin/env bash
# Builds the Debian package from the build and reads back what dpkg will
# see: its name, version and dependencies, and the files in their places.
# usage: debian_package.sh BUILD_DIR VERSION APP_ID HARDENED
set -euo pipefail
build=$1 version=$2 app_id=$3 hardened=$4

work=$(mktemp -d "${TMPDIR:-/tmp}/tovalo-deb-XXXXXX")
trap 'rm -rf "$work"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

(cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out") >"$work/cpack.log" 2>&1 || {
  cat "$work/cpack.log" >&2
  fail "cpack"
}
deb=$(ls "$work"/out/tovalo_"$version"_*.deb)

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = tovalo ] || fail "package name $(field Package)"
[ "$(field Version)" = "$version" ] || fail "version $(field Version)"
[ -n "$(field Maintainer)" ] || fail "no maintainer"
depends=$(field Depends)
for needed in libqt6widgets6 libqt6webenginewidgets6 libqt6multimedia6 fonts-ipafont-gothic; do
  grep -q "$needed" <<<"$depends" || fail "Depends lacks $needed: $depends"
done

dpkg-deb -c "$deb" | awk '{print $6}' >"$work/contents"
for path in ./usr/bin/tovalo ./usr/bin/tovalo-tool ./usr/share/tovalo/sample/bin/Tovalo20.ini \
  ./usr/share/tovalo/sample/HIST/nexa/ ./usr/share/tovalo/sample/VERSION \
  "./usr/share/applications/$app_id.desktop" \
  "./usr/share/metainfo/$app_id.metainfo.xml" "./usr/share/icons/hicolor/48x48/apps/$app_id.png" \
  ./usr/share/man/man1/tovalo.1.gz; do
  grep -qxF "$path" "$work/contents" || fail "$path not in the package"
done
grep -q '^\./usr/lib/.*tovalo/libtovalo_pagebrowser\.so$' "$work/contents" ||
  fail "page engine module not in the package"

# --- Debian policy -------------------------------------------------------------
# A new version needs its changelog entry.
entry=$(dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/share/doc/tovalo/changelog.gz | gzip -dc | sed -n 1p)
[[ $entry == "tovalo ($version) "* ]] || fail "changelog.gz starts with '$entry', not version $version"
# lintian with its notes (-I): missing hardening and leftover .comment sections
# are reported only as notes. The notes the package keeps are in its overrides,
# each with the reason.
# The sanitizer builds go without the hardening flags on purpose; what they
# package is never shipped, so only their hardening notes are let pass.
suppress=()
case "$hardened" in
  ON|on|1|TRUE|true|YES|yes) ;;
  *) suppress=(--suppress-tags hardening-no-bindnow,hardening-no-fortify-functions,hardening-no-relro,hardening-no-pie) ;;
esac
if command -v lintian >/dev/null; then
  lintian -I --fail-on error,warning,info --tag-display-limit 0 "${suppress[@]}" "$deb" >"$work/lintian.log" 2>&1 || {
    grep -v '^running with root' "$work/lintian.log" >&2
    fail "lintian"
  }
else
  echo "lintian is not installed (./setup.sh installs it): the Debian policy check is skipped"
fi

echo "debian package: ok ($(basename "$deb"))"
