#!/usr/bin/env bash
# Installs the build into a scratch prefix and runs the installed program as
# a new user whose home is a scratch folder: it must reach the course menu,
# find its page engine module without help from the environment, and leave
# the user's own installation laid out under XDG_DATA_HOME, the shared
# sample untouched.
# usage: installed_program.sh BUILD_DIR VERSION APP_ID
set -euo pipefail
build=$1 version=$2 app_id=$3

work=$(mktemp -d "${TMPDIR:-/tmp}/tovalo-install-XXXXXX")
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix

fail() {
  echo "FAIL: $*" >&2
  exit 1
}
expect_file() { [ -f "$1" ] || fail "missing ${1#"$work"/}"; }
expect_dir() { [ -d "$1" ] || fail "missing folder ${1#"$work"/}"; }

cmake --install "$build" --prefix "$prefix" >"$work/install.log" || {
  cat "$work/install.log" >&2
  fail "cmake --install"
}

# --- the usual places ---------------------------------------------------------
expect_file "$prefix/bin/tovalo"
expect_file "$prefix/bin/tovalo-tool"
module=$(find "$prefix/lib" -name libtovalo_pagebrowser.so -path '*/tovalo/*')
[ -n "$module" ] || fail "page engine module not under lib/*/tovalo"
share=$prefix/share/tovalo
expect_file "$share/bin/Tovalo20.ini"
expect_file "$share/bin/CGI_URL"
expect_file "$share/bin/Print/PrintProto"
expect_file "$share/bin/Tovalonexa.rcc"
expect_dir "$share/bin/wav"
for vendor in nexa sorane kumo; do
  ls "$share/QDAT/$vendor/"*.qdf >/dev/null 2>&1 || fail "no question files for $vendor"
  expect_dir "$share/HIST/$vendor"
done
expect_file "$prefix/share/applications/$app_id.desktop"
expect_file "$prefix/share/metainfo/$app_id.metainfo.xml"
expect_file "$prefix/share/icons/hicolor/scalable/apps/$app_id.svg"
for size in 16 24 32 48 64 128 256; do
  expect_file "$prefix/share/icons/hicolor/${size}x${size}/apps/$app_id.png"
done
ls "$prefix"/share/man/man1/tovalo.1* "$prefix"/share/man/man1/tovalo-tool.1* >/dev/null ||
  fail "manual pages missing"
# Nothing a run of the staged program leaves behind, and no program, in the sample.
stray=$(find "$share" -type f \( -name '*.htm' -o -name '*.HIS' -o -name tovalo -o -name '*.so' \
  -o -name tovalo-tool \))
[ -z "$stray" ] || fail "stray files in the sample: $stray"

# --- command line without a display --------------------------------------------
no_display=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM)
[ "$("${no_display[@]}" "$prefix/bin/tovalo" --version)" = "tovalo $version" ] || fail "tovalo --version"
"${no_display[@]}" "$prefix/bin/tovalo" --help | grep -q -- "--version" || fail "tovalo --help"
[ "$("$prefix/bin/tovalo-tool" --version)" = "tovalo-tool $version" ] || fail "tovalo-tool --version"

# --- first start of a new user -----------------------------------------------------
home=$work/home
mkdir -p "$home/.config/Marvesta"
# A stored profile: the profile screen then hands over to the course menu.
printf '[General]\nName=Install Check\nOrg=QA\nEmail=qa@example.invalid\n' \
  >"$home/.config/Marvesta/Tovalo Vidod v2.conf"
touch "$work/before-run"
sleep 1

run_installed() {
  (cd "$work" && env -u QT_PLUGIN_PATH -u XDG_DATA_HOME -u DISPLAY -u WAYLAND_DISPLAY \
    HOME="$home" XDG_CONFIG_HOME="$home/.config" QT_QPA_PLATFORM=offscreen "$@")
}
status=0
run_installed TOVALO_EXIT_AFTER_SHOW=menu timeout 120 "$prefix/bin/tovalo" 2>"$work/run.err" || status=$?
[ "$status" -eq 0 ] || {
  cat "$work/run.err" >&2
  fail "the installed program did not reach the course menu (exit $status)"
}

user=$home/.local/share/tovalo
for dir in bin QDAT HIST; do expect_dir "$user/$dir"; done
expect_file "$user/bin/Tovalo20.ini"
expect_file "$user/bin/Tovalonexa.rcc"
expect_file "$user/bin/wav/$(ls "$share/bin/wav" | head -1)"
for vendor in nexa sorane kumo; do
  expect_dir "$user/HIST/$vendor"
  [ "$(ls "$user/QDAT/$vendor")" = "$(ls "$share/QDAT/$vendor")" ] ||
    fail "QDAT/$vendor differs from the sample"
done
[ ! -e "$user/bin/tovalo" ] || fail "the program itself was copied"
changed=$(find "$prefix" -newer "$work/before-run")
[ -z "$changed" ] || fail "the run wrote into the installation: $changed"

# The user's own files survive the next start.
echo "kept" >"$user/bin/Ques.htm"
run_installed TOVALO_EXIT_AFTER_SHOW=1 timeout 60 "$prefix/bin/tovalo" 2>/dev/null ||
  fail "second start"
[ "$(cat "$user/bin/Ques.htm")" = kept ] || fail "second start overwrote a user file"

# XDG_DATA_HOME is honoured; one that cannot be used stops the program with a reason.
run_installed XDG_DATA_HOME="$work/xdg" TOVALO_EXIT_AFTER_SHOW=1 timeout 60 "$prefix/bin/tovalo" \
  2>/dev/null || fail "start with XDG_DATA_HOME"
expect_file "$work/xdg/tovalo/bin/Tovalo20.ini"
echo "a file" >"$work/blocked"
status=0
run_installed XDG_DATA_HOME="$work/blocked" timeout 60 "$prefix/bin/tovalo" 2>"$work/blocked.err" ||
  status=$?
[ "$status" -eq 1 ] || fail "an unusable XDG_DATA_HOME gave exit $status, not 1"
grep -q "$work/blocked" "$work/blocked.err" || fail "the error does not name the folder"
echo "installed program: ok"
