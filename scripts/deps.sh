#!/usr/bin/env bash
# Installs the Debian packages the build, the demo and the tests need, when they are missing.
# Sourced by run.sh and test.sh.
DEPS_PACKAGES=(build-essential cmake ninja-build pkg-config qt6-base-dev libqt6sql6-ibase
  firebird-dev firebird3.0-server firebird3.0-utils libxlsxwriter-dev libcurl4-openssl-dev
  libgtest-dev libgmock-dev python3-aiosmtpd openssl ca-certificates poppler-utils
  xvfb xauth x11-apps imagemagick fonts-dejavu-core unzip libxml2-utils time bsdextrautils
  ccache lld qt6-translations-l10n glabels-data)

deps_missing() {
    local p missing=()
    for p in "${DEPS_PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    echo "${missing[@]}"
}

deps_ensure() {
    local missing
    missing=$(deps_missing)
    [ -z "$missing" ] && return 0
    if [ "$(id -u)" -ne 0 ]; then
        echo "Faltan paquetes de Debian. Ejecute como root:" >&2
        echo "  apt-get update && apt-get install -y $missing" >&2
        return 1
    fi
    echo "Instalando paquetes: $missing"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq || return 1
    # shellcheck disable=SC2086
    apt-get install -y -qq $missing >/dev/null || return 1
}
