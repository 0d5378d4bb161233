#!/usr/bin/env bash
# Installs what is missing, builds, and starts Thermomètre on the simulated bench.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh
install_missing
build_preset dev
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "Aucun affichage graphique : lancez le programme depuis une session de bureau," >&2
    echo "ou sans écran avec : xvfb-run -a build/dev/ui/thermometre" >&2
    exit 1
fi
exec build/dev/ui/thermometre
