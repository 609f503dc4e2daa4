#!/usr/bin/env bash
# Installs the build with the README's own commands, as written, for a new
# user whose home is a scratch folder, and starts it the way the README says:
# it must reach the course menu, find its page engine module without help
# from the environment, and leave the user's own installation laid out beside
# the shared sample, which stays untouched. Then an upgrade: an earlier
# release's folder gets this build's program files where the user left them
# alone, and keeps the one an administrator changed, with the new one beside.
# usage: installed_program.sh BUILD_DIR VERSION APP_ID
set -euo pipefail
build=$(cd "$1" && pwd) version=$2 app_id=$3
readme=$(cd "$(dirname "$0")/../.." && pwd)/README.md

work=$(mktemp -d "${TMPDIR:-/tmp}/tovalo-install-XXXXXX")
trap 'rm -rf "$work"' EXIT
home=$work/home
prefix=$home/.local

fail() {
  echo "FAIL: $*" >&2
  exit 1
}
expect_file() { [ -f "$1" ] || fail "missing ${1#"$work"/}"; }
expect_dir() { [ -d "$1" ] || fail "missing folder ${1#"$work"/}"; }

# --- the README's commands -------------------------------------------------------
readme_install='cmake --install build --prefix ~/.local'
readme_path='export PATH="$HOME/.local/bin:$PATH"'
readme_start='tovalo'
readme_tool='tovalo-tool report advisor ~/.local/share/tovalo nexa'
readme_uninstall="xargs -d '\\n' rm -f < build/install_manifest.txt"
for line in "$readme_install" "$readme_path" "$readme_start" "$readme_tool" "$readme_uninstall"; do
  grep -qxF -- "$line" <(sed 's/ *#.*//' "$readme") || fail "the README no longer says: $line"
done

# Run from a folder where "build" is this build tree, as the new user.
mkdir -p "$home/.config/Marvesta" "$work/src"
ln -s "$build" "$work/src/build"
as_user() {
  (cd "$work/src" && env -u QT_PLUGIN_PATH -u XDG_DATA_HOME -u XDG_CONFIG_HOME -u DISPLAY \
    -u WAYLAND_DISPLAY HOME="$home" QT_QPA_PLATFORM=offscreen "$@")
}
as_user bash -c "$readme_install" >"$work/install.log" || {
  cat "$work/install.log" >&2
  fail "$readme_install"
}

# --- the usual places ---------------------------------------------------------
expect_file "$prefix/bin/tovalo"
expect_file "$prefix/bin/tovalo-tool"
module=$(find "$prefix/lib" -name libtovalo_pagebrowser.so -path '*/tovalo/*')
[ -n "$module" ] || fail "page engine module not under lib/*/tovalo"
share=$prefix/share/tovalo/sample
expect_file "$share/VERSION"
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

# --- first start of a new user, as the README says -------------------------------
# A stored profile: the profile screen then hands over to the course menu.
printf '[General]\nName=Install Check\nOrg=QA\nEmail=qa@example.invalid\n' \
  >"$home/.config/Marvesta/Tovalo Vidod v2.conf"
touch "$work/before-run"
sleep 1

status=0
as_user TOVALO_EXIT_AFTER_SHOW=menu timeout 120 \
  bash -c "$readme_path; [ \"\$(command -v tovalo)\" = \"$prefix/bin/tovalo\" ] || exit 9; $readme_start" \
  2>"$work/run.err" || status=$?
[ "$status" -ne 9 ] || fail "after the README's PATH line, tovalo is not the installed program"
[ "$status" -eq 0 ] || {
  cat "$work/run.err" >&2
  fail "the installed program did not reach the course menu (exit $status)"
}

# With a ~/.local prefix the user's folder holds the sample beside its own parts.
user=$prefix/share/tovalo
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
changed=$(find "$prefix" \( -path "$user/bin" -o -path "$user/QDAT" -o -path "$user/HIST" \) -prune \
  -o -newer "$work/before-run" ! -path "$user" ! -path "$user/.tovalo-program-files" -print)
[ -z "$changed" ] || fail "the run wrote into the installation: $changed"

# The README's ROOT for tovalo-tool is that folder.
as_user bash -c "$readme_path; $readme_tool" | grep -q '"ExamCode"' || fail "$readme_tool"

# The user's own files survive the next start.
echo "kept" >"$user/bin/Ques.htm"
as_user TOVALO_EXIT_AFTER_SHOW=1 timeout 60 "$prefix/bin/tovalo" 2>/dev/null || fail "second start"
[ "$(cat "$user/bin/Ques.htm")" = kept ] || fail "second start overwrote a user file"

# XDG_DATA_HOME is honoured; one that cannot be used stops the program with a reason.
as_user XDG_DATA_HOME="$work/xdg" TOVALO_EXIT_AFTER_SHOW=1 timeout 60 "$prefix/bin/tovalo" \
  2>/dev/null || fail "start with XDG_DATA_HOME"
expect_file "$work/xdg/tovalo/bin/Tovalo20.ini"
echo "a file" >"$work/blocked"
status=0
as_user XDG_DATA_HOME="$work/blocked" timeout 60 "$prefix/bin/tovalo" 2>"$work/blocked.err" ||
  status=$?
[ "$status" -eq 1 ] || fail "an unusable XDG_DATA_HOME gave exit $status, not 1"
grep -q "$work/blocked" "$work/blocked.err" || fail "the error does not name the folder"

# --- an upgrade ------------------------------------------------------------------
# Release A: this installation as an earlier release shipped it, with another
# release stamp, other templates and another history server.
echo "before-$version" >"$share/VERSION"
for template in QuesProto Print/PrintProto; do printf '<!-- A -->\r\n' >>"$share/bin/$template"; done
printf 'a.example/sync/query.cgi\r\na.example/sync/upload.cgi\r\na.example/sync/download.cgi\r\n' \
  >"$share/bin/His_srv"
upgraded=$work/upgraded/tovalo/bin
as_user XDG_DATA_HOME="$work/upgraded" TOVALO_EXIT_AFTER_SHOW=1 timeout 60 "$prefix/bin/tovalo" \
  2>/dev/null || fail "start of release A"
cmp -s "$share/bin/QuesProto" "$upgraded/QuesProto" || fail "release A's template was not copied"
# The administrator points the history server at the school's.
printf 'school.example/q.cgi\r\nschool.example/u.cgi\r\nschool.example/d.cgi\r\n' >"$upgraded/His_srv"
cp "$upgraded/His_srv" "$work/administrators-His_srv"

# Release B, this build, installed over it with the README's command.
as_user bash -c "$readme_install" >"$work/reinstall.log" || fail "installing release B"
as_user XDG_DATA_HOME="$work/upgraded" TOVALO_EXIT_AFTER_SHOW=1 timeout 60 "$prefix/bin/tovalo" \
  2>"$work/upgrade.err" || fail "start of release B"
for template in QuesProto Print/PrintProto; do
  cmp -s "$build/root/bin/$template" "$upgraded/$template" || fail "$template not replaced"
done
cmp -s "$work/administrators-His_srv" "$upgraded/His_srv" || fail "the changed His_srv was not kept"
cmp -s "$build/root/bin/His_srv" "$upgraded/His_srv.tovalo-new" ||
  fail "release B's His_srv is not beside it"
grep -F "$upgraded/His_srv " "$work/upgrade.err" | grep -qF "$upgraded/His_srv.tovalo-new" || {
  cat "$work/upgrade.err" >&2
  fail "no line on stderr names the kept file and the new one"
}

# --- uninstalling as the README says: the user's data stays ------------------------
outside=$(grep -v "^$prefix/" "$build/install_manifest.txt" || true)
[ -z "$outside" ] || fail "the build's install manifest is not this install's: $outside"
as_user bash -c "$readme_uninstall" || fail "$readme_uninstall"
left=$(find "$prefix" -type f ! -path "$user/bin/*" ! -path "$user/QDAT/*" ! -path "$user/HIST/*" \
  ! -path "$user/.tovalo-program-files")
[ -z "$left" ] || fail "left after uninstalling: $left"
ls "$user"/QDAT/nexa/*.qdf >/dev/null 2>&1 || fail "uninstalling removed the user's question files"
echo "installed program: ok"
