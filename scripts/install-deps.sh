#!/usr/bin/env bash
# Installs every Debian package that building, running and testing Sievomatic needs.
# Safe to run again: apt-get skips what is already there.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  clang libclang-rt-14-dev
  qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev libqt6svg6
  libxcb-keysyms1-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  dovecot-pop3d dovecot-imapd python3 python3-aiosmtpd openssl
  dovecot-sieve dovecot-managesieved  # the server-side rules test
  xvfb xauth
  netbase  # /etc/services, where the tests look up service names
  pulseaudio-utils alsa-utils
  # The keyring: QtKeychain to build; a private bus and GNOME Keyring for its tests
  qtkeychain-qt6-dev dbus-daemon gnome-keyring libsecret-tools libglib2.0-bin
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ "${#missing[@]}" -gt 0 ]; then
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -q
  "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# The package may enable Dovecot's system service; the tests run private instances
# and never use it, so keep it from holding ports or using CPU.
if command -v systemctl >/dev/null 2>&1 && systemctl is-enabled dovecot >/dev/null 2>&1; then
  systemctl disable --now dovecot >/dev/null 2>&1 || true
fi
