#!/usr/bin/env bash
# The Debian package as a player meets it: built with cpack from a build tree, checked by
# lintian, installed with apt, started once from its desktop entry on a virtual display,
# then removed, leaving nothing of it behind but the player's own files. Changes the
# system, so it runs as root (CI does); elsewhere it skips.
#   package_test.sh BUILD_DIR
set -euo pipefail
build="$(cd "$1" && pwd)"
source="$(cd "$(dirname "$0")/../.." && pwd)"
fail() { echo "FAIL: $*" >&2 && exit 1; }
if [ "$(id -u)" -ne 0 ]; then
  [ -z "${CI:-}" ] || fail "the package test needs root"
  echo "SKIP: the package test installs a package and needs root" && exit 0
fi

scratch="$(mktemp -d)"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$scratch"
}
trap cleanup EXIT
export DEBIAN_FRONTEND=noninteractive
# What an earlier, broken run left installed would hide what this one installs.
dpkg-query -W kavro >/dev/null 2>&1 && apt-get purge -y -qq kavro >/dev/null

# --- Building and checking the package.
rm -f "$build"/kavro_*.deb
(cd "$build" && cpack -G DEB >"$scratch/cpack.log") || { cat "$scratch/cpack.log" >&2 && fail cpack; }
version="$(sed -n 's/^project(kavro VERSION \([0-9.]*\).*/\1/p' "$source/CMakeLists.txt")"
deb="$build/kavro_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || fail "no $deb: $(ls "$build"/*.deb 2>&1)"
lintian --fail-on error,warning "$deb" || fail "lintian"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package) $(field Version) $(field Section)" = "kavro $version games" ] || fail "control"
# From the linked libraries: the game's own ones and Qt's, each with a version.
for library in libjpeg62-turbo libqt6widgets6 libqt6gui6 libqt6core6 libqt6multimedia6 libc6; do
  field Depends | tr ',' '\n' | grep -qx " *$library (>= [0-9.:~+-]*)" || fail "Depends lacks $library"
done
field Recommends | tr ',' '\n' | grep -qx ' *qt6-wayland' || fail "qt6-wayland not recommended"

# --- Installing.
find /usr /etc /var/lib/dpkg/info -xdev | sort >"$scratch/before"
apt install -y -qq "$deb" >"$scratch/apt.log" 2>&1 || { cat "$scratch/apt.log" >&2 && fail "apt install"; }
[ "$(dpkg-query -W -f='${Status}' kavro)" = "install ok installed" ] || fail "not installed"
dpkg -L kavro >"$scratch/files"

program=/usr/lib/games/kavro/kavro
[ "$(readlink -f /usr/games/kavro)" = "$program" ] || fail "/usr/games/kavro does not lead to $program"
[ "$(stat -c %a "$program")" = 755 ] || fail "program mode"
file -L "$program" | grep -q 'ELF .*executable' || fail "$program is no program"
[ -f /usr/lib/games/kavro/libkavro_sound_player.so ] || fail "no sound player module beside the program"
cmp /usr/lib/games/kavro/kavro.html "$source/data/kavro.html" || fail "no help page beside the program"
cmp /usr/share/games/kavro/kavro.html "$source/data/kavro.html" || fail "no help page under /usr/share"
# Each language's catalogue where the program looks from its directory, and its help page.
for language in $(grep '^[a-z]' "$source/po/LINGUAS"); do
  [ -f "/usr/lib/games/kavro/../../../share/locale/$language/LC_MESSAGES/kavro.mo" ] ||
    fail "no $language catalogue"
  [ -f "/usr/lib/games/kavro/kavro.$language.html" ] || fail "no $language help page"
done
grep -q '^Comment\[de\]=' "/usr/share/applications/kavro.desktop" || fail "untranslated desktop entry"
entry=/usr/share/applications/kavro.desktop
desktop-file-validate "$entry" || fail "desktop entry"
grep -qx 'Categories=Game;LogicGame;' "$entry" || fail "desktop entry category"
exec_line="$(sed -n 's/^Exec=//p' "$entry")"
[ "$exec_line" = /usr/games/kavro ] || fail "Exec=$exec_line"
appstreamcli validate --no-net /usr/share/metainfo/org.kavro.kavro.metainfo.xml >/dev/null ||
  fail "AppStream metadata"
icons="$(grep -c '^/usr/share/icons/hicolor/\([0-9]*\)x\1/apps/kavro.png$' "$scratch/files")"
[ "$icons" = 7 ] || fail "$icons icons in the hicolor theme, not 7"
[ "$(man -w 6 kavro)" = /usr/share/man/man6/kavro.6.gz ] || fail "man page kavro(6)"
[ -z "$(LC_ALL=C.UTF-8 MANROFFSEQ='' man --warnings -E UTF-8 6 kavro 2>&1 >/dev/null)" ] ||
  fail "the man page has formatting warnings"
page="$(MANWIDTH=80 man 6 kavro 2>/dev/null)"
for text in 'kavro - picture puzzle' '~/.config/kavro/kavro.ini' '~/.config/kavro/Scores/' \
            'Times*.ini' '*.KVR' '/usr/share/games/kavro/kavro.html'; do
  grep -qF -- "$text" <<<"$page" || fail "the man page does not tell '$text'"
done

# --- Starting the installed program as a player, by its desktop entry's Exec line, on a
# virtual display: its window appears with the board, and its files go to the player's
# configuration directory.
player_home="$scratch/home"
mkdir -p "$player_home" && chown 65534:65534 "$player_home" && chmod 755 "$scratch"
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$scratch/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 100); do [ -s "$scratch/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$scratch/display")"
runtime="$player_home/runtime"
setpriv --reuid=65534 --regid=65534 --clear-groups -- mkdir -m 700 "$runtime"
env -i PATH=/usr/bin:/bin DISPLAY="$DISPLAY" HOME="$player_home" XDG_RUNTIME_DIR="$runtime" \
  QT_QPA_PLATFORM=xcb setpriv --reuid=65534 --regid=65534 --clear-groups -- \
  sh -c "exec $exec_line" >"$scratch/kavro.log" 2>&1 &
pids+=($!)
window=""
for _ in $(seq 150); do
  window="$(xdotool search --onlyvisible --name '^Kavro$' 2>/dev/null | head -1)" || true
  [ -n "$window" ] && break
  kill -0 "${pids[-1]}" 2>/dev/null || break
  sleep 0.1
done
[ -n "$window" ] || { cat "$scratch/kavro.log" >&2 && fail "no window of the installed program"; }
sleep 1
eval "$(xdotool getwindowgeometry --shell "$window")"
[ "$WIDTH" -ge 640 ] && [ "$HEIGHT" -ge 400 ] || fail "window of ${WIDTH}x$HEIGHT"
# The default board: a teal background between light grey tiles.
teal="$(xwd -root -silent | /usr/bin/convert xwd:- -fill black +opaque 'rgb(64,128,128)' \
          -format '%[fx:int(mean*w*h)]' info:)"
[ "$teal" -gt 5000 ] || fail "no board on the screen ($teal teal pixels)"
config="$player_home/.config/kavro"
[ -d "$config/Scores" ] || fail "no score folder in $config"
kill "${pids[-1]}" && wait "${pids[-1]}" 2>/dev/null || true
echo "[KAVRO]" >"$config/kavro.ini"  # the player's own file, which must stay

# --- Removing: the package's files go; the player's stay.
apt remove -y -qq kavro >"$scratch/apt.log" 2>&1 || { cat "$scratch/apt.log" >&2 && fail "apt remove"; }
# With no configuration files of its own, nothing of it stays in dpkg's records either.
! dpkg-query -W kavro >/dev/null 2>&1 || fail "dpkg still knows kavro: $(dpkg -s kavro | grep Status)"
while read -r path; do
  [ -e "$path" ] || [ -L "$path" ] || continue
  # Folders such as /usr/share/icons/hicolor belong to other packages too.
  [ -d "$path" ] && dpkg -S "$path" >/dev/null 2>&1 || fail "$path is left behind"
done <"$scratch/files"
find /usr /etc /var/lib/dpkg/info -xdev | sort >"$scratch/after"
left="$(comm -13 "$scratch/before" "$scratch/after" | grep -i kavro || true)"
[ -z "$left" ] || fail "left behind: $left"
[ "$(cat "$config/kavro.ini")" = "[KAVRO]" ] && [ -d "$config/Scores" ] ||
  fail "the player's files in $config went with the package"
echo "package test passed: $(basename "$deb")"
