#!/bin/sh
# Installs the Debian 12 packages Audexa builds and runs with (as root, or through sudo): those
# in debian-packages.txt, or in the lists named, files beside this script.
set -eu
cd "$(dirname "$0")"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; fi
if [ "$#" -eq 0 ]; then set -- debian-packages.txt; fi
$SUDO apt-get update -qq
$SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
    $(cat "$@") >/dev/null
