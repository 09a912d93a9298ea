#!/usr/bin/env bash
# Shows the tray program at work under a virtual X display and saves screenshots:
#   scripts/screenshots.sh [build-folder] [output-folder]
# A private Dovecot holds a few dozen messages, a third of them spam that a rule deletes.
# Needs Xvfb, trayer, xdotool and ImageMagick's import (installed here when missing).
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
out="$(realpath -m "${2:-screenshots}")"
program="$build/src/app/sievomatic"
helper="$build/tests/support/serve_dovecot"
[ -x "$program" ] && [ -x "$helper" ] || { echo "build first: scripts/build.sh $build" >&2; exit 1; }

needed=()
for tool in Xvfb:xvfb trayer:trayer xdotool:xdotool import:imagemagick; do
  command -v "${tool%%:*}" >/dev/null || needed+=("${tool#*:}")
done
if [ "${#needed[@]}" -gt 0 ]; then
  sudo_cmd=(); [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${needed[@]}"
fi

mkdir -p "$out"
home="$(mktemp -d)"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  [ -n "${DOVE_PID:-}" ] && { exec {DOVE[1]}>&- || true; wait "$DOVE_PID" || true; }
  rm -rf "$home"
}
trap cleanup EXIT

# A display number nothing else uses.
display=99
while [ -e "/tmp/.X11-unix/X$display" ]; do display=$((display + 1)); done
export DISPLAY=":$display"
Xvfb "$DISPLAY" -screen 0 1024x640x24 -nolisten tcp &
pids+=($!)
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done 2>/dev/null || sleep 2
xsetroot -solid '#3a5f7f' 2>/dev/null || true
trayer --edge top --align right --widthtype request --height 28 --SetDockType true \
  --transparent false --tint 0x202020 &
pids+=($!)

coproc DOVE { "$helper" 36; }
read -r _ address <&"${DOVE[0]}"
echo "Dovecot at $address"

cat > "$home/settings.ini" <<INI
[Main]
OpenedBefore=1
AutoEnabled=0
INI
cat > "$home/accounts.ini" <<INI
[ENTRYCOUNT]
NumEntries=1
[USER1]
POPAddress=$address
POPUser=sam
ClearPassword=pop secret
EMailAddr=sam@home.test
MailNotify=0
INI
cat > "$home/rules.ini" <<INI
[ProcedureCount]
NumProcs=1
[PROCEDURE1]
Criteria=SUBCONT
Value=free money
DeleteAction=1
SendtoRecycle=0
Reply=0
Report=0
INI

SIEVOMATIC_HOME="$home" "$program" &
pids+=($!)
shot() { sleep "${2:-1}"; import -window root "$out/$1.png"; echo "saved $out/$1.png"; }

shot 01-tray 3
# The program's icon is the rightmost in trayer's panel at the top right; its menu opens
# on a right click.
eval "$(xdotool getdisplaygeometry --shell)"
open_menu() { xdotool mousemove $((WIDTH - 14)) 14 click 3; }
open_menu
shot 02-tray-menu
xdotool key Escape
# Clean Mail Now by its hot key: the progress dialog, then the mail icon and notice.
xdotool key ctrl+F10
shot 03-clean-mail-now 0.2
shot 04-after-clean 3
# Status... is the sixth item of the menu.
open_menu
sleep 0.5
xdotool key Down Down Down Down Down Down Return
shot 05-status-window 2
xdotool key Escape
# The Mail Preview Center by its hot key, with the messages the clean left; the first
# message in the viewer (Down selects it, Return views it).
xdotool key ctrl+F9
shot 06-preview 3
xdotool key Down Return
shot 07-viewer 2
xdotool key Escape
sleep 0.5
xdotool key Escape
# A rule that asks before deleting: Clean Mail Now shows the confirmation window, and
# Escape keeps every message.
cat >> "$home/rules.ini" <<INI
[PROCEDURE2]
Criteria=SUBCONT
Value=Meeting notes 1
DeleteAction=1
Confirm=1
SendtoRecycle=0
Reply=0
Report=0
INI
sed -i "s/^NumProcs=1/NumProcs=2/" "$home/rules.ini"
xdotool key ctrl+F10
shot 08-confirm-deletion 3
xdotool key Escape
