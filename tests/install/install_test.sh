#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks what a desktop finds there; then starts
# the installed program through the bin/ link, once with a writable program directory (its
# files go beside it: it found its directory through the link) and once as a player who may
# not write there (its files go to the configuration directory).
#   install_test.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
scratch="$(mktemp -d)"
pid=""
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; chmod -R u+w "$scratch"; rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2 && exit 1; }

prefix="$scratch/prefix"
cmake --install "$1" --prefix "$prefix" >/dev/null
[ -L "$prefix/bin/kavro" ] || fail "bin/kavro is not a link"
dir="$(dirname "$(readlink -f "$prefix/bin/kavro")")"
[ -x "$dir/kavro" ] && [ "$dir" != "$prefix/bin" ] || fail "no program in a directory of its own"
cmp -s "$dir/kavro.html" "$2/data/kavro.html" || fail "no help page beside the program"
[ -f "$dir/libkavro_sound_player.so" ] || fail "no sound player module beside the program"
for language in $(grep '^[a-z]' "$2/po/LINGUAS"); do
  [ -f "$dir/../../share/locale/$language/LC_MESSAGES/kavro.mo" ] || fail "no $language catalogue"
  [ -f "$dir/kavro.$language.html" ] || fail "no $language help page"
done
desktop-file-validate "$prefix/share/applications/kavro.desktop" || fail "desktop entry"
appstreamcli validate --no-net "$prefix/share/metainfo/org.kavro.kavro.metainfo.xml" || fail "metadata"
for size in 16 24 32 48 64 128 256; do
  png="$prefix/share/icons/hicolor/${size}x${size}/apps/kavro.png"
  # A PNG's width and height are big-endian words at bytes 16 and 20.
  word=" 0 0 $((size >> 8)) $((size & 255))"
  [ "$(od -An -tu1 -j16 -N8 "$png" | tr -s ' ')" = "$word$word" ] || fail "$png"
done

# Starts the program and waits until it has made its score folder (it does at start) in
# expected; then ends it.
scores_in() {
  local expected="$1" config="$2"
  shift 2
  env QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$config" HOME="$config" "$@" \
    "$prefix/bin/kavro" >"$scratch/log" 2>&1 &
  pid=$!
  for _ in $(seq 150); do
    [ -d "$expected/Scores" ] || ! kill -0 "$pid" 2>/dev/null && break
    sleep 0.1
  done
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  pid=""
  [ -d "$expected/Scores" ] || { cat "$scratch/log" >&2 && fail "no score folder in $expected"; }
}

mkdir -m 777 "$scratch/a" "$scratch/b"
scores_in "$dir" "$scratch/a"
[ ! -e "$scratch/a/kavro" ] || fail "a writable program directory still sent the files away"
rm -rf "$dir/Scores" "$dir/kavro.ini"
chmod a-w "$dir"
# Root may write anywhere: as root the player is the unprivileged user nobody.
player=()
[ "$(id -u)" -ne 0 ] || { chmod 755 "$scratch" && player=(setpriv --reuid=65534 --regid=65534 --clear-groups --); }
scores_in "$scratch/b/kavro" "$scratch/b" "${player[@]}"
[ ! -e "$dir/Scores" ] || fail "score folder made in the read-only program directory"
