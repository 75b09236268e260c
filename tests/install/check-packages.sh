#!/usr/bin/env bash
# Runs install/packages.sh against stand-ins for apt-get, sudo and id that record their calls:
# a machine that has every package sees no apt at all; a missing package is the only one
# asked for, after an update; sudo is used only when not root, and without sudo a non-root
# user gets the command to run instead of a prompt.
#   check-packages.sh SOURCE
set -euo pipefail
source_dir=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FAILED: $*" >&2
    failures=$((failures + 1))
}

# Only the real tools the script needs, so that a sudo of the machine is not found.
mkdir -p "$work/tools" "$work/fake" "$work/sudo"
for tool in bash dpkg-query grep tr env cat; do
    ln -s "$(command -v "$tool")" "$work/tools/$tool"
done
cat >"$work/fake/apt-get" <<EOF
#!/bin/sh
echo "apt-get \$*" >>"$work/calls"
EOF
cat >"$work/sudo/sudo" <<EOF
#!/bin/sh
echo "sudo" >>"$work/calls"
exec "\$@"
EOF
chmod +x "$work/fake/apt-get" "$work/sudo/sudo"

# Runs tavrin_install_packages as user ID $1, with sudo or without ($2), for the packages $3;
# prints the recorded calls and the exit status.
run() {
    : >"$work/calls"
    printf '#!/bin/sh\necho %s\n' "$1" >"$work/fake/id"
    chmod +x "$work/fake/id"
    local path=$work/fake:$work/tools status=0
    [ "$2" = sudo ] && path=$work/fake:$work/sudo:$work/tools
    PATH=$path bash -c 'source "$1/install/packages.sh"; TAVRIN_PACKAGES=$2
                        tavrin_install_packages' _ "$source_dir" "$3" >/dev/null 2>&1 || status=$?
    tr '\n' '|' <"$work/calls"
    echo "status $status"
}

# Two packages this machine has (awk reads to the end: no broken pipe under pipefail).
installed=$(dpkg-query -W -f='${db:Status-Status} ${Package}\n' |
    awk '$1 == "installed" && n < 2 { printf "%s ", $2; n++ }')
missing="tavrin-no-such-package-1 tavrin-no-such-package-2"

got=$(run 0 sudo "$installed")
[ "$got" = "status 0" ] || fail "everything installed, as root: $got"
got=$(run 1000 sudo "$installed")
[ "$got" = "status 0" ] || fail "everything installed, not root: $got"

want="apt-get update|apt-get install -y --no-install-recommends $missing|status 0"
got=$(run 0 sudo "$installed $missing")
[ "$got" = "$want" ] || fail "missing, as root: $got"

got=$(run 1000 sudo "$missing $installed")
[ "$got" = "sudo|apt-get update|sudo|apt-get install -y --no-install-recommends $missing|status 0" ] ||
    fail "missing, not root: $got"

got=$(run 1000 nosudo "$missing $installed")
[ "$got" = "status 1" ] || fail "missing, not root, no sudo: $got"

# The check after the install step names what is still missing.
out=$(PATH=$work/tools bash -c 'source "$1/install/packages.sh"; TAVRIN_PACKAGES=$2
                                tavrin_check_packages' _ "$source_dir" "$installed $missing" 2>&1) &&
    fail "the check passes with missing packages"
[[ $out == *"$missing"* ]] || fail "the check does not name the missing packages: $out"
PATH=$work/tools bash -c 'source "$1/install/packages.sh"; TAVRIN_PACKAGES=$2
                          tavrin_check_packages' _ "$source_dir" "$installed" ||
    fail "the check fails with every package installed"

[ "$failures" -eq 0 ] || exit 1
echo "package installation checked"
