#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need, if any are missing.
set -euo pipefail

# The window's tests measure it in DejaVu Sans, and in WenQuanYi for the log's Chinese title.
# clang-format checks the layout of the code; xvfb, dbus, at-spi2-core and python3-pyatspi run
# the window under a screen reader's eyes: an X server, a D-Bus session, the AT-SPI bus and its
# Python client. kxltctl's MQTT publisher builds on libmosquitto, found by pkg-config, and its
# test runs against the mosquitto broker and reads it back with mosquitto-clients.
packages=(build-essential cmake git qt6-base-dev qt6-serialport-dev fonts-dejavu-core
    fonts-wqy-microhei clang-format xvfb dbus at-spi2-core python3-pyatspi libmosquitto-dev
    mosquitto mosquitto-clients pkg-config "$@")

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
        missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages need root: run this as root or with sudo." >&2
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq "${missing[@]}"
