#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what a user gets:
# every file in its place, valid desktop files, and a first start from the
# menu's launcher with no configuration.
set -euo pipefail
build="$1"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
prefix="$tmp/usr"
cmake --install "$build" --prefix "$prefix" >"$tmp/install.log"
# Outside the package the capability is for the installer to grant: it is told how.
grep -qF "setcap cap_wake_alarm+ep $prefix/libexec/tolvenmark-clock/tolvenmark-clock-wake" "$tmp/install.log"

for f in bin/tolvenmark-clock bin/tolvenmark-skin-pack bin/tolvenmark-clock-session \
         libexec/tolvenmark-clock/install-config libexec/tolvenmark-clock/tolvenmark-clock-wake \
         share/applications/tolvenmark-clock.desktop share/metainfo/org.example.tolvenmark.Clock.metainfo.xml \
         share/icons/hicolor/scalable/apps/tolvenmark-clock.svg \
         share/tolvenmark-clock/skins/Round.skn share/tolvenmark-clock/skins/Strip.skn \
         share/tolvenmark-clock/TolvenHelp.html share/tolvenmark-clock/sounds/chime.opus; do
    [ -e "$prefix/$f" ] || { echo "missing: $f"; exit 1; }
done
for size in 16 32 48 128 256; do
    png="$prefix/share/icons/hicolor/${size}x${size}/apps/tolvenmark-clock.png"
    file "$png" | grep -q "PNG image data, $size x $size" || { echo "bad icon: $png"; exit 1; }
done
# The alarm sound plays in the usual player, as a chime of 20 to 60 seconds.
if command -v mpv >/dev/null; then
    length="$(mpv --no-config --ao=null --ao-null-untimed --vo=null --term-playing-msg='length=${=duration}' \
        "$prefix/share/tolvenmark-clock/sounds/chime.opus" 2>/dev/null | sed -n 's/^length=\([0-9]*\).*/\1/p')"
    [ -n "$length" ] && [ "$length" -ge 20 ] && [ "$length" -le 60 ] || { echo "bad alarm sound: '$length' s"; exit 1; }
fi
desktop-file-validate "$prefix/share/applications/tolvenmark-clock.desktop"
appstreamcli validate --no-net "$prefix/share/metainfo/org.example.tolvenmark.Clock.metainfo.xml" >/dev/null
grep -qx 'Exec=tolvenmark-clock-session' "$prefix/share/applications/tolvenmark-clock.desktop"

# First start: a fresh home, no configuration anywhere.
run() {
    env -u TOLVENMARK_WINDIR -u XDG_CONFIG_HOME -u XDG_DATA_HOME HOME="$tmp/home" \
        QT_QPA_PLATFORM=offscreen TOLVENMARK_PROMPTS=stderr "$@"
}
mkdir "$tmp/home"
[ "$(run "$prefix/bin/tolvenmark-clock-session" --version 2>/dev/null)" = "Tolvenmark Clock 1.1" ]
ini="$tmp/home/.config/tolvenmark/TOLVENMARKCLOCK.INI"
grep -qx "APPPATH=$tmp/home/.local/share/tolvenmark" "$ini"
# The first alarm rings the installed sound.
grep -qx "ALSET=TRUE" "$ini"
grep -qx "ALFILE=$(readlink -f "$prefix/share/tolvenmark-clock/sounds/chime.opus")" "$ini"
[ -d "$tmp/home/.local/share/tolvenmark" ]
echo "SKIN=mine" >> "$ini"
before="$(cat "$ini")"
run "$prefix/bin/tolvenmark-clock-session" --version >/dev/null 2>&1
[ "$(cat "$ini")" = "$before" ] || { echo "the configuration was rewritten"; exit 1; }

# The installed clock shows an installed skin and keeps running until ended.
status=0
run timeout 5 "$prefix/bin/tolvenmark-clock-session" --show-skin "$prefix/share/tolvenmark-clock/skins/Round.skn" \
    2>"$tmp/err" || status=$?
[ "$status" -eq 124 ] || { echo "show-skin ended with $status:"; cat "$tmp/err"; exit 1; }
echo "installed layout and first start fine"
