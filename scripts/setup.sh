#!/usr/bin/env bash
# Installs what the project needs from Debian 12's packages (when missing), then configures
# and builds one CMake preset. Sourced by run.sh and test.sh; safe to run again and again.
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-svg-dev qt6-translations-l10n
    libgtest-dev libgmock-dev libbenchmark-dev
    clang libclang-rt-14-dev
    fonts-liberation2 xvfb xauth libxcb1-dev
    qt6-serialport-dev
    libqcustomplot-dev
    libgsl-dev
    mosquitto libmosquitto-dev openssl
    python3-pyatspi at-spi2-core dbus-daemon xdotool
    libsqlite3-dev libxlsxwriter-dev unzip
    make gcc-avr binutils-avr avr-libc libsimavr-dev libelf-dev zlib1g-dev
    dpkg-dev file desktop-file-utils appstream libxml2-utils lintian
    # What a screen reader meets: the accessibility bus, pyatspi and the keyboard for the
    # tests, Orca speaking through speech-dispatcher and espeak-ng for bench/orca_listen.sh.
    at-spi2-core python3-pyatspi dbus dbus-x11 xdotool
    orca speech-dispatcher espeak-ng
)
# Installed without what they recommend: of devscripts the package check only needs
# hardening-check, not a Debian developer's whole kit (with the Debian keyring).
lean_packages=(devscripts)

missing_packages() {
    local p
    for p in "$@"; do
        if ! dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed$'; then
            echo "$p"
        fi
    done
}

# Extra arguments name packages that only the calling script needs.
install_missing() {
    local missing lean
    mapfile -t missing < <(missing_packages "${packages[@]}" "$@")
    mapfile -t lean < <(missing_packages "${lean_packages[@]}")
    [ "${#missing[@]}" -eq 0 ] && [ "${#lean[@]}" -eq 0 ] && return 0
    if [ "$(id -u)" -eq 0 ]; then
        echo "Installation des paquets manquants : ${missing[*]} ${lean[*]}"
        export DEBIAN_FRONTEND=noninteractive
        apt-get update -q
        [ "${#missing[@]}" -eq 0 ] || apt-get install -y -q "${missing[@]}"
        [ "${#lean[@]}" -eq 0 ] || apt-get install -y -q --no-install-recommends "${lean[@]}"
    else
        missing+=("${lean[@]}")
        echo "Paquets manquants : ${missing[*]}" >&2
        echo "Installez-les avec :" >&2
        echo "  sudo apt-get update && sudo apt-get install -y ${missing[*]}" >&2
        exit 1
    fi
}

build_preset() {
    local preset=$1
    local root
    root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
    cd "$root" || return 1
    if [ ! -f "build/$preset/CMakeCache.txt" ]; then
        cmake --preset "$preset" >/dev/null || return 1
    fi
    cmake --build --preset "$preset"
}
