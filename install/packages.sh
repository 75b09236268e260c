# The Debian 12 packages Tavrin builds and tests with; sourced by run.sh and test.sh.
TAVRIN_PACKAGES="build-essential cmake ninja-build pkg-config git \
    libftdi1-dev libsimpleini-dev libreadline-dev libgtest-dev libbenchmark-dev \
    qt6-base-dev libqt6charts6-dev \
    clang libclang-rt-14-dev \
    xvfb xauth x11-utils imagemagick fonts-dejavu-core"

tavrin_install_packages() {
    local missing=""
    for p in $TAVRIN_PACKAGES; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing="$missing $p"
    done
    [ -z "$missing" ] && return 0
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    echo "Installing:$missing"
    $sudo apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends $missing
}
