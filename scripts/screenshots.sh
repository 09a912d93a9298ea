#!/usr/bin/env bash
# Shows the tray program at work under a virtual X display and saves screenshots:
#   scripts/screenshots.sh [build-folder] [output-folder]
# A private Dovecot holds a few dozen messages, a third of them spam that a rule deletes.
# Needs Xvfb, trayer, xdotool, xclip and ImageMagick's import (installed here when missing).
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
out="$(realpath -m "${2:-screenshots}")"
program="$build/src/app/sievomatic"
helper="$build/tests/support/serve_dovecot"
[ -x "$program" ] && [ -x "$helper" ] || { echo "build first: scripts/build.sh $build" >&2; exit 1; }

needed=()
for tool in Xvfb:xvfb trayer:trayer xdotool:xdotool xclip:xclip import:imagemagick; do
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

# A private session bus and keyring, so the account's password moves into a keyring of
# this run's own and never into the user's. Without gnome-keyring it stays in accounts.ini.
mkdir -p "$home/keyring"
cat > "$home/keyring/bus.conf" <<'XML'
<busconfig><type>session</type><listen>unix:tmpdir=/tmp</listen><auth>EXTERNAL</auth>
<policy context="default"><allow send_destination="*" eavesdrop="true"/>
<allow eavesdrop="true"/><allow own="*"/></policy></busconfig>
XML
coproc BUS { exec dbus-daemon --config-file="$home/keyring/bus.conf" --nofork --print-address; }
pids+=("$BUS_PID")
read -r DBUS_SESSION_BUS_ADDRESS <&"${BUS[0]}"
export DBUS_SESSION_BUS_ADDRESS
if command -v gnome-keyring-daemon >/dev/null; then
  printf 'screenshots' | XDG_DATA_HOME="$home/keyring" XDG_RUNTIME_DIR="$home/keyring" \
    gnome-keyring-daemon --foreground --unlock --components=secrets >/dev/null &
  pids+=($!)
  gdbus wait --session --timeout 20 org.freedesktop.secrets || true
fi
trayer --edge top --align right --widthtype request --height 28 --SetDockType true \
  --transparent false --tint 0x202020 &
pids+=($!)

coproc DOVE { "$helper" 36; }
read -r _ address <&"${DOVE[0]}"
read -r _ imap_address <&"${DOVE[0]}"
read -r _ sieve_address <&"${DOVE[0]}"
echo "Dovecot at $address, IMAP at $imap_address"

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
POPSecurity=NONE
SieveServer=$sieve_address
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
# A dozen more rules of every criterion, the mail server's signals last; none of them deletes, so the pass above stays as
# it was. One keeps a keyword the program does not know.
extra=(
  "FROM|offers@bulk-mailer.example" "LIST|" "HEADER|X-Mailer: Floodgate" "FROMNUM|"
  "SUBCONT|LOTTERY" "FROM|cheap-pills.example" "HEADER|X-Distribution: Bulk" "SUBCONT|\$\$"
  "LIST|" "FROM|winner@prizes.example" "SUBCONT|MAKE MONEY" "Subject|left by hand"
  "AUTHFAIL|" "SPAMFLAG|8" "DNSBL|bl.example.org"
)
n=1
for rule in "${extra[@]}"; do
  n=$((n + 1))
  printf '[PROCEDURE%d]\nCriteria=%s\nValue=%s\nActive=%d\nDeleteAction=0\nBeep=%d\nReply=%d\nReport=0\nConfirm=0\nSendtoRecycle=%d\nReplyname=Go away\nNumHits=%d\n' \
    "$n" "${rule%%|*}" "${rule#*|}" $((n % 3 != 0)) $((n % 2)) $((n % 4 == 0)) $((n % 2)) $((n * 7 % 12)) >> "$home/rules.ini"
done
sed -i "s/^NumProcs=1$/NumProcs=$n/" "$home/rules.ini"
cat > "$home/messages.ini" <<INI
[MessageCount]
NumMessages=3
[MESSAGE1]
messagename=Go away
messagefilename=away1
[MESSAGE2]
messagename=Report to the abuse desk
messagefilename=abuse2
[MESSAGE3]
messagename=Friendly bounce
messagefilename=bounce3
INI
printf 'Subject: Please stop\r\n\r\nI do not accept mail from <<REPLYHEADER~FROMADDRESS>>.\r\nSent on <<SYSTEM~DATETIME>>.\r\n' > "$home/away1.msg"

printf 'mum@family.test\r\nwork.example\r\n' > "$home/friends.lst"
for n in $(seq 1 40); do printf 'offers%d@bulk-mail.example\r\n' "$n"; done > "$home/sievo.lst"

SIEVOMATIC_HOME="$home" "$program" &
pids+=($!)
shot() { sleep "${2:-1}"; import -window root "$out/$1.png"; echo "saved $out/$1.png"; }

shot 01-tray 3
# The program's icon is the rightmost in trayer's panel at the top right; its menu opens
# on a right click.
eval "$(xdotool getdisplaygeometry --shell)"
open_menu() { xdotool mousemove $((WIDTH - 14)) 14 click 3; }
# Gives the keyboard to the newest visible window of that title: without a window manager
# nothing else does.
focus() {
  local id
  id="$(xdotool search --sync --onlyvisible --name "^$1\$" | tail -1)"
  xdotool windowfocus "$id"
  sleep 0.4
}
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
# The rule list: a second start of the program brings it forward.
SIEVOMATIC_HOME="$home" "$program"
sleep 1
xdotool search --name "Rule List" windowsize 900 460 windowmove 40 60 2>/dev/null || true
shot 06-rule-list 1.5
# The wizard by its hot key, both pages.
xdotool key ctrl+F12
shot 07-rule-wizard-step1 1.5
xdotool key Return
shot 08-rule-wizard-step2 1
xdotool key Escape
sleep 0.5
# Properties of the sixth rule by a double click on its Value cell (the window stands at
# 40,60; without a window manager only the mouse moves the keyboard focus between windows).
xdotool mousemove 300 225 click --repeat 2 --delay 80 1
shot 09-rule-properties-criterion 1.5
xdotool key ctrl+Tab
shot 10-rule-properties-action 1
xdotool key Escape
sleep 0.5
# The message library from the rule list's Tools menu.
xdotool mousemove 300 225 click 1
xdotool key alt+t c
shot 11-message-library 1.5
xdotool key Escape
sleep 0.5
# File > Export Rules as Sieve Script... to a file in the data folder: the export's report.
xdotool mousemove 300 225 click 1
xdotool key alt+f e
focus "Export Rules as Sieve Script"
xdotool key ctrl+a
xdotool type --delay 20 "$home/sievomatic.sieve"
xdotool key Return
shot 16-sieve-export-report 1.5
xdotool key Return
sleep 0.5
# File > Install Rules on the Server...: the question, with what the server runs now.
xdotool mousemove 300 225 click 1
xdotool key alt+f i
shot 17-sieve-install-question 2.5
xdotool key Escape
sleep 0.5
# The Mail Preview Center by its hot key, with the messages the clean left; the first
# message in the viewer (Down selects it, Return views it).
xdotool key ctrl+F9
shot 12-preview 3
xdotool key Down Return
shot 13-viewer 2
xdotool key Escape
sleep 0.5
# Two messages ticked, the one between them highlighted: Delete asks about the ticked ones.
focus "Mail Preview Center"
xdotool key space Down Down space Up Delete
shot 15-preview-delete-question 1
xdotool key Escape
sleep 0.5
xdotool key Escape
# A rule that asks before deleting: Clean Mail Now shows the confirmation window, and
# Escape keeps every message.
next=$(($(grep -c '^\[PROCEDURE' "$home/rules.ini") + 1))
cat >> "$home/rules.ini" <<INI
[PROCEDURE$next]
Criteria=SUBCONT
Value=Meeting notes 1
DeleteAction=1
Confirm=1
SendtoRecycle=0
Reply=0
Report=0
INI
sed -i "s/^NumProcs=.*/NumProcs=$next/" "$home/rules.ini"
xdotool key ctrl+F10
shot 14-confirm-deletion 3
xdotool key Escape
sleep 0.5

# The tray menu by keyboard: the n-th item of the menu, then of each submenu in turn.
menu_pick() {
  open_menu
  sleep 0.5
  local first=1 n
  for n in "$@"; do
    if [ "$first" -eq 1 ]; then
      for _ in $(seq "$n"); do xdotool key Down; done
      first=0
    else
      xdotool key Right
      sleep 0.3
      for _ in $(seq $((n - 1))); do xdotool key Down; done
    fi
  done
  xdotool key Return
}
# Every page of the tabbed dialog in front, from the first.
shoot_pages() {
  local prefix="$1" count="$2" page
  for page in $(seq "$count"); do
    shot "$prefix-$page" 0.8
    xdotool key ctrl+Tab
  done
}

# Tools > Accounts..., then the settings of the first account page by page.
menu_pick 7 4
focus "Mail Accounts"
shot 30-accounts 0.5
xdotool key alt+p
focus "Account Settings"
shoot_pages 31-account-settings 6
# Back on the first page; the second has the calendar of the next scan.
xdotool key ctrl+Tab alt+c
focus "Change Scan Dates"
shot 32-change-scan-dates 0.5
xdotool key Escape
focus "Account Settings"
xdotool key Escape
focus "Mail Accounts"
xdotool key Escape
# Tools > Options...
menu_pick 7 3
focus "Options"
shoot_pages 33-options 4
xdotool key Escape
# Tools > Lists > My Friends... and Spammers...
menu_pick 7 1 1
focus "My Friends"
shot 34-friends 0.5
# A block of addresses pasted after the first line: one entry each, trimmed, no blank ones.
printf '  colleague@work.example\r\n\r\nnewsletter.example  \r\nbrother@family.test\r\n' |
  xclip -selection clipboard
xdotool key Home ctrl+v
shot 34b-friends-pasted 0.5
xdotool key Escape
menu_pick 7 1 2
focus "Built In Spammer List"
shot 35-spammers 0.5
xdotool key Escape
# Help > Tell a Friend About Sievo..., cancelled: the thank-you follows.
menu_pick 8 2
focus "Tell a Friend!"
shot 36-tell-a-friend 0.5
xdotool key Escape
shot 37-tell-a-friend-thanks 1
xdotool key Return
sleep 0.5

# A first start in a fresh data folder: the welcome wizard, step by step. Nothing offers
# TLS on 127.0.0.1's ports 993, 143, 995 and 110 here, so step 3 shows the plain-text
# warning.
menu_pick 9
sleep 2
first="$(mktemp -d)"
SIEVOMATIC_HOME="$first" "$program" &
pids+=($!)
focus "Welcome Wizard"
xdotool key alt+e
xdotool type --delay 20 "jane@home.test"
shot 40-wizard-step1 0.5
xdotool key alt+n
sleep 0.5
xdotool key alt+i
xdotool type --delay 20 "127.0.0.1"
xdotool key alt+w
xdotool type --delay 20 "secret"
shot 41-wizard-step2 0.5
xdotool key alt+n
shot 42-wizard-step3-checking 0.2
shot 43-wizard-step3 4
xdotool key alt+n
shot 44-wizard-step4 1
xdotool key alt+n
shot 45-wizard-step5 1
xdotool key Escape
sleep 1
menu_pick 9
sleep 2
rm -rf "$first"

# An IMAP account over the same mailbox: its settings, with the folder lists that Test
# fetched from the server, and the preview of its inbox.
imap="$(mktemp -d)"
cp "$home/settings.ini" "$home/rules.ini" "$imap/"
cat > "$imap/accounts.ini" <<INI
[ENTRYCOUNT]
NumEntries=1
[USER1]
Protocol=IMAP
POPAddress=$imap_address
POPUser=sam
ClearPassword=pop secret
POPSecurity=NONE
EMailAddr=sam@imap.test
MailNotify=0
INI
SIEVOMATIC_HOME="$imap" "$program" &
pids+=($!)
sleep 3
menu_pick 7 4
focus "Mail Accounts"
xdotool key alt+p
focus "Account Settings"
# The third page; Test, then the spam folder's list opened.
xdotool key ctrl+Tab ctrl+Tab alt+t
shot 50-account-settings-imap 2
xdotool key alt+a alt+Down
shot 51-account-settings-imap-spam-folders 1
xdotool key Escape
sleep 0.3
xdotool key Escape
focus "Mail Accounts"
xdotool key Escape
xdotool key ctrl+F9
shot 52-preview-imap 3
xdotool key Escape
menu_pick 9
sleep 1
rm -rf "$imap"
