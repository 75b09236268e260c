# The Debian 12 packages Tavrin builds, tests and packs with; sourced by run.sh and test.sh.
# Real package names only: a virtual name (such as libqt6charts6-dev for qt6-charts-dev) is
# never reported as installed, so it would send every start to apt.
TAVRIN_PACKAGES="build-essential cmake ninja-build pkg-config git \
    python3-pyvisa python3-pyvisa-py \
    libftdi1-dev libsimpleini-dev libreadline-dev libgtest-dev libbenchmark-dev \
    qt6-base-dev qt6-charts-dev libqt6opengl6-dev \
    clang libclang-rt-14-dev \
    libsqlite3-dev libpq-dev libssl-dev postgresql \
    dpkg-dev file help2man lintian appstream \
    xvfb xauth x11-utils imagemagick fonts-dejavu-core"

# Prints the listed packages dpkg does not report as installed, one per line.
tavrin_missing_packages() {
    local p status
    for p in $TAVRIN_PACKAGES; do
        # One line per architecture; read whole (a pipe into grep -q can break under pipefail).
        status=$(dpkg-query -W -f='${db:Status-Status}\n' "$p" 2>/dev/null || true)
        grep -qx installed <<<"$status" || echo "$p"
    done
}

# Installs the missing packages; touches apt only when something is missing, and uses sudo
# only when not run as root.
tavrin_install_packages() {
    local missing
    missing=$(tavrin_missing_packages | tr '\n' ' ')
    [ -z "${missing// /}" ] && return 0
    local sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        if ! command -v sudo >/dev/null; then
            echo "Missing Debian packages: $missing" >&2
            echo "Install them as root: apt-get install $missing" >&2
            return 1
        fi
        sudo="sudo"
    fi
    echo "Installing: $missing"
    $sudo apt-get update
    # shellcheck disable=SC2086  # one word per package
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $missing
}

# Fails, naming them, when listed packages are not installed (a misspelt or virtual name in
# the list shows up here after the install step).
tavrin_check_packages() {
    local missing
    missing=$(tavrin_missing_packages | tr '\n' ' ')
    if [ -n "${missing// /}" ]; then
        echo "Listed packages not installed: $missing" >&2
        return 1
    fi
}
