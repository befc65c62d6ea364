#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks what a desktop finds there, then starts
# the installed program twice: through the bin/ link with a writable program directory (its
# files go beside it, so it found its directory through the link), and as a player who may
# not write there (its files go to the configuration directory).
#   install_test.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build="$1"
source="$2"
icon_sizes=(16 24 32 48 64 128 256)

scratch="$(mktemp -d)"
program_pid=""
cleanup() {
  if [ -n "$program_pid" ]; then kill "$program_pid" 2>/dev/null || true; fi
  chmod -R u+w "$scratch" 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

prefix="$scratch/prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null

# The program in a directory of its own, its help page beside it, a link in bin/.
[ -L "$prefix/bin/kavro" ] || fail "bin/kavro is not a link"
program="$(readlink -f "$prefix/bin/kavro")"
[ -x "$program" ] || fail "bin/kavro leads to no program"
dir="$(dirname "$program")"
[ "$dir" != "$prefix/bin" ] || fail "the program lies in bin/ itself"
cmp -s "$dir/kavro.html" "$source/data/kavro.html" || fail "no help page beside the program"

share="$prefix/share"
desktop-file-validate "$share/applications/kavro.desktop" || fail "desktop entry"
appstreamcli validate --no-net "$share/metainfo/org.kavro.kavro.metainfo.xml" || fail "metadata"
for size in "${icon_sizes[@]}"; do
  png="$share/icons/hicolor/${size}x${size}/apps/kavro.png"
  [ -f "$png" ] || fail "no icon $png"
  # PNG width and height: big-endian words at bytes 16 and 20.
  read -r -a header <<<"$(od -An -tu1 -j16 -N8 "$png")"
  width=$(((header[0] << 24) | (header[1] << 16) | (header[2] << 8) | header[3]))
  height=$(((header[4] << 24) | (header[5] << 16) | (header[6] << 8) | header[7]))
  [ "$width" = "$size" ] && [ "$height" = "$size" ] || fail "$png is $width x $height"
done

# Starts the program with the given configuration directory and waits until it has made
# its score folder in expected (it does so when it starts); then ends it.
start_until_scores() {
  local expected="$1" config="$2"
  shift 2
  env QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$config" HOME="$config" "$@" \
    "$prefix/bin/kavro" >"$scratch/program.log" 2>&1 &
  program_pid=$!
  for _ in $(seq 150); do
    [ -d "$expected/Scores" ] && break
    kill -0 "$program_pid" 2>/dev/null || break
    sleep 0.1
  done
  kill "$program_pid" 2>/dev/null || true
  wait "$program_pid" 2>/dev/null || true
  program_pid=""
  [ -d "$expected/Scores" ] || {
    cat "$scratch/program.log" >&2
    fail "no score folder in $expected"
  }
}

config="$scratch/config-writable"
mkdir "$config"
start_until_scores "$dir" "$config"
[ ! -e "$config/kavro" ] || fail "a writable program directory still sent the files away"
rm -rf "$dir/Scores" "$dir/kavro.ini"

# A player who may not write beside the program. Root may write anywhere, so as root the
# program runs as the unprivileged user nobody.
chmod a-w "$dir"
as_player=()
if [ "$(id -u)" -eq 0 ]; then
  chmod 755 "$scratch"
  as_player=(setpriv --reuid=65534 --regid=65534 --clear-groups --)
fi
config="$scratch/config-player"
mkdir "$config"
chmod 777 "$config"
start_until_scores "$config/kavro" "$config" "${as_player[@]}"
[ ! -e "$dir/Scores" ] || fail "score folder made in the read-only program directory"
echo "install tree and game directories as expected"
