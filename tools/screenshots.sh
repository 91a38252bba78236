#!/usr/bin/env bash
# Takes the pictures in docs/screenshots/ from the real program under Xvfb:
# the clock on each skin, the tray menu and the dialogs. Run it again when a
# window changes.   Usage: tools/screenshots.sh [BUILD_DIR]   (default build/)
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")
out=$PWD/docs/screenshots
clock="$build/tolvenmark-clock"
[ -x "$clock" ] || { echo "no $clock: build first (scripts/build)" >&2; exit 1; }

if [ -z "${TOLVENMARK_SHOTS_INNER:-}" ]; then
  missing=()
  for tool in xvfb-run:xvfb xauth:xauth xdotool:xdotool import:imagemagick; do
    command -v "${tool%%:*}" >/dev/null || missing+=("${tool#*:}")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    sudo=""; [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -q
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
  fi
  # A display of its own: no window manager, so no frames and nothing in the way.
  exec env TOLVENMARK_SHOTS_INNER=1 xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$build"
fi

work=$(mktemp -d)
pid=""
failed=0
desktop=""
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  [ -n "$desktop" ] && kill "$desktop" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$out" "$work/run"
chmod 700 "$work/run"
background='#dde3ea'
# A plain desktop round shaped windows (Xvfb's own is black).
convert -size 1280x1024 "xc:$background" "$work/desktop.png"
display -geometry +0+0 -borderwidth 0 "$work/desktop.png" &
desktop=$!
sleep 1

# A fixed look: US formats, a pending alarm tomorrow morning, a filled storage bin.
export TOLVENMARK_WINDIR=$work XDG_RUNTIME_DIR=$work/run TOLVENMARK_PROMPTS=stderr
export TOLVENMARK_SHORT_DATE=M/d/yyyy TOLVENMARK_DATE_SEP=/ TOLVENMARK_LONG_DATE="dddd, MMMM dd, yyyy"
export TOLVENMARK_SHORT_TIME="h:mm AMPM" TOLVENMARK_LONG_TIME="h:mm:ss AMPM" TOLVENMARK_TIME_SEP=:
export TOLVENMARK_AM=AM TOLVENMARK_PM=PM
unset QT_QPA_PLATFORM
tomorrow=$(date -d tomorrow +%-m/%-d/%Y)
later=$(date -d '+8 days' +%-m/%-d/%Y)
printf 'Morning run^%s^6:45:00 AM^\r\nDentist^%s^2:30:00 PM^\r\n' "$tomorrow" "$later" >"$work/Alarms.txt"
printf '%s^MP3^WINAMP^\r\nhttp://radio.example.org/live^Internet Radio Station^WMP^\r\nTime to get up!^Text Message^MESSAGE^\r\n' \
  "/home/me/Music/wake-up.mp3" >"$work/StorageBin.txt"

# Players that exist, so the dialogs tick them instead of warning.
mkdir -p "$work/players"
for player in wmp winamp; do
  printf '#!/bin/sh\n' >"$work/players/$player"
  chmod +x "$work/players/$player"
done

write_config() {  # SKIN value
  cat >"$work/TOLVENMARKCLOCK.INI" <<INI
[ALARM]
APPPATH=$work
VERSION=1.1
ALFORMAT=123
ALDATESEP=/
SKIN=$1
ALSET=TRUE
ALHEADER=Morning run
ALDATE=$tomorrow
ALTIME=6:45:00 AM
MTYPE=MP3
PLAYER=WINAMP
WMP=$work/players/wmp
WINAMP=$work/players/winamp
ALFILE=/home/me/Music/wake-up.mp3
SNOOZE=Yes
SNOOZEMIN=5
CHANGEALARM=Yes
DELETEALARM=No
INI
}

window_of() {  # exact title -> window id, waiting up to 15 s
  local id=""
  for _ in $(seq 75); do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | tail -1) && [ -n "$id" ] && break
    sleep 0.2
  done
  [ -n "$id" ] || { echo "no window '$1'" >&2; return 1; }
  echo "$id"
}

# The area of every visible window of the program, with a margin of background.
program_area() {
  local x0=100000 y0=100000 x1=0 y1=0 X Y WIDTH HEIGHT id
  for id in $(xdotool search --onlyvisible --class "Tolvenmark Clock" 2>/dev/null); do
    eval "$(xdotool getwindowgeometry --shell "$id")"
    ((WIDTH < 2 || HEIGHT < 2)) && continue
    ((X < x0)) && x0=$X; ((Y < y0)) && y0=$Y
    ((X + WIDTH > x1)) && x1=$((X + WIDTH)); ((Y + HEIGHT > y1)) && y1=$((Y + HEIGHT))
  done
  local m=16
  echo "$((x1 - x0 + 2 * m))x$((y1 - y0 + 2 * m))+$((x0 - m))+$((y0 - m))"
}

start() {  # SKIN [WINDOW-TO-OPEN]
  write_config "$1"
  TOLVENMARK_OPEN_AT_START=${2:-} "$clock" 2>>"$work/clock.err" &
  pid=$!
  window_of "Tolvenmark Clock" >/dev/null
}

stop() {
  "$clock" --quit >/dev/null 2>&1 || true
  for _ in $(seq 25); do kill -0 "$pid" 2>/dev/null || break; sleep 0.2; done
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  pid=""
}

clock_shot() {  # SKIN FILE
  start "$1"
  sleep 2  # a tick or two, so every display item has its text
  import -window root -crop "$(program_area)" +repage "$out/$2"
  stop
  echo "$out/$2"
}

dialog_shot() {  # OPEN-NAME TITLE FILE
  start Default "$1"
  local id
  if ! id=$(window_of "$2"); then
    stop
    failed=1
    return 0
  fi
  sleep 1
  import -window "$id" "$out/$3"
  stop
  echo "$out/$3"
}

clock_shot Default clock-default.png
skins="$build/share/tolvenmark-clock/skins"
clock_shot "$skins/Round.skn" clock-round.png
clock_shot "$skins/Strip.skn" clock-strip.png

# No tray host on this display: the menu as it pops up from the tray icon.
start Default tray-menu
sleep 2
import -window root -crop "$(program_area)" +repage "$out/tray-menu.png"
stop
echo "$out/tray-menu.png"

dialog_shot alarm-settings "Alarm Settings" alarm-settings.png
dialog_shot storage-bin "Storage Bin" storage-bin.png
dialog_shot schedule "Schedule Alarms" schedule.png
dialog_shot calendar "Calendar" calendar.png
dialog_shot program-settings "Program Settings" program-settings.png
dialog_shot internet "Internet Connection Setup" internet-connection.png

# Program Settings with a shipped packed skin chosen through "&Open Skin", as a user does.
packed_preview_shot() {
  start Default program-settings
  local id dialog
  if id=$(window_of "Program Settings"); then
    xdotool windowfocus --sync "$id" key alt+o
    if dialog=$(window_of "Open Skin File"); then
      xdotool windowfocus --sync "$dialog" type --delay 50 "Round.skn"
      xdotool key Return
      sleep 1
      import -window "$id" "$out/program-settings-packed-skin.png"
      echo "$out/program-settings-packed-skin.png"
    else
      failed=1
    fi
  else
    failed=1
  fi
  stop
}
packed_preview_shot

# The user guide's copies, installed beside it.
for picture in alarm-settings storage-bin clock-round clock-strip; do
  [ -f "$out/$picture.png" ] && cp "$out/$picture.png" resources/help/
done

if grep -v -e "does not support" -e "^QStandardPaths" "$work/clock.err" | grep -q .; then
  echo "the clock said:" >&2
  cat "$work/clock.err" >&2
fi
exit "$failed"
