#!/bin/sh
# Installs the Debian 12 packages Audexa builds and runs with (as root, or through sudo).
set -eu
cd "$(dirname "$0")"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; fi
$SUDO apt-get update -qq
$SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
    $(cat debian-packages.txt) >/dev/null
