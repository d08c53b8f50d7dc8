# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages named as arguments that are not installed yet.
# Sourced by run.sh and test.sh.
quillo_install_missing() {
    local missing=()
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

QUILLO_BUILD_PACKAGES=(build-essential dpkg-dev cmake ninja-build pkg-config qt6-base-dev libsimpleini-dev fonts-vlgothic
    qt6-translations-l10n libical-dev libutf8proc-dev)
