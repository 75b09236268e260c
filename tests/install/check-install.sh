#!/usr/bin/env bash
# Checks what a user gets from an installation, from the installed files alone:
#   check-install.sh destdir BUILD SOURCE PREFIX LIBDIR WITH_APP
#       installs BUILD with `cmake --install --prefix PREFIX` into a temporary DESTDIR;
#   check-install.sh deb BUILD SOURCE /usr LIBDIR WITH_APP
#       builds the Debian package with cpack, checks its name, control files and dependencies,
#       and unpacks it.
# Then: every file in its place, the library's SONAME links, its exports against the header,
# the desktop entry's program and icon, the installed programs finding the installed library,
# and tests/outside compiled with `pkg-config --cflags --libs tavrinlink` and run.
set -euo pipefail
mode=$1 build=$2 source=$3 prefix=$4 libdir=$5 with_app=$6

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
root=$work/root
failures=0
fail() {
    echo "FAILED: $*" >&2
    failures=$((failures + 1))
}
# Nothing from the build tree or the caller's environment may stand in for installed files.
unset LD_LIBRARY_PATH PKG_CONFIG_PATH

case $mode in
destdir)
    DESTDIR=$root cmake --install "$build" --prefix "$prefix" >"$work/install.log" ||
        { cat "$work/install.log" >&2; exit 1; }
    ;;
deb)
    cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/pkg" >"$work/cpack.log" ||
        { cat "$work/cpack.log" >&2; exit 1; }
    version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
    deb=$work/pkg/tavrin_${version}_$(dpkg --print-architecture).deb
    [ -f "$deb" ] || { echo "FAILED: no $deb; built: $(ls "$work/pkg")" >&2; exit 1; }
    depends=$(dpkg-deb -f "$deb" Depends)
    # Found by dpkg-shlibdeps from the programs' and the library's own needs.
    for need in libc6 libftdi1-2 libreadline8 $([ "$with_app" = ON ] && echo libqt6widgets6); do
        [[ ", $depends," == *", $need "* ]] || fail "Depends lacks $need: $depends"
    done
    [[ $depends == *tavrin* ]] && fail "the package depends on itself: $depends"
    mkdir -p "$work/control"
    dpkg-deb -e "$deb" "$work/control"
    grep -qx 'activate-noawait ldconfig' "$work/control/triggers" || fail "no ldconfig trigger"
    # The maintainer scripts never fail, with or without a running udev, even when udevadm fails.
    mkdir -p "$work/fakebin"
    printf '#!/bin/sh\nexit 1\n' >"$work/fakebin/udevadm"
    chmod +x "$work/fakebin/udevadm"
    for script in "postinst configure" "postrm remove" "postrm purge"; do
        set -- $script
        [ -x "$work/control/$1" ] || { fail "$1 missing or not executable"; continue; }
        PATH=$work/fakebin:$PATH sh "$work/control/$1" "$2" || fail "$script fails"
    done
    grep -q udevadm "$work/control/postinst" || fail "postinst does not reload the udev rules"
    dpkg-deb -c "$deb" >"$work/contents"
    dpkg-deb -x "$deb" "$root"
    ;;
*)
    echo "usage: $0 destdir|deb BUILD SOURCE PREFIX LIBDIR WITH_APP" >&2
    exit 2
    ;;
esac

p=$root$prefix
lib=$p/$libdir
expect=(include/tavrinlink.h "$libdir/pkgconfig/tavrinlink.pc" bin/tavrin-cli
    lib/udev/rules.d/99-tavrin-tester.rules)
[ "$with_app" = ON ] && expect+=(bin/tavrin share/applications/tavrin.desktop)
for f in "$source"/sim/profiles/*.ini; do expect+=("share/tavrin/profiles/${f##*/}"); done
for f in "$source"/tools/*.tvs; do expect+=("share/tavrin/scripts/${f##*/}"); done
if [ -d "$source/tools/plans" ]; then
    for f in "$source"/tools/plans/*.ini; do expect+=("share/tavrin/plans/${f##*/}"); done
fi
# The network service of tavrin-cli (not enabled by the package) and its example client.
expect+=(lib/systemd/system/tavrin-scpi.service share/tavrin/examples/pp_production.py)
for f in "${expect[@]}"; do
    [ -f "$p/$f" ] || fail "$f is not installed"
    # The package lists the same file, with the path apt will put it at.
    if [ "$mode" = deb ] && ! grep -q " \.$prefix/$f\$" "$work/contents"; then
        fail "the package does not list $prefix/$f"
    fi
done
grep -q "^ExecStart=$prefix/bin/tavrin-cli serve " "$p/lib/systemd/system/tavrin-scpi.service" ||
    fail "tavrin-scpi.service does not start $prefix/bin/tavrin-cli serve"
cmp -s "$source/install/99-tavrin-tester.rules" "$p/lib/udev/rules.d/99-tavrin-tester.rules" ||
    fail "the installed udev rule differs from install/99-tavrin-tester.rules"

# The library: real file named by version, SONAME link, development link.
real=$(readlink -f "$lib/libtavrinlink.so" || true)
soname=$(readelf -d "$real" 2>/dev/null | sed -n 's/.*(SONAME).*\[\(.*\)\]/\1/p')
[ -n "$soname" ] || fail "libtavrinlink.so has no SONAME"
[ -L "$lib/libtavrinlink.so" ] || fail "libtavrinlink.so is not a link"
[ -L "$lib/$soname" ] && [ "$(readlink -f "$lib/$soname")" = "$real" ] ||
    fail "$soname is not a link to $real"
[ "${real##*/}" != "$soname" ] || fail "the library file carries no full version"

# Exactly the functions the header declares leave the library.
grep -o '^TAVRINLINK_API [^(]*(' "$p/include/tavrinlink.h" |
    sed 's/.*[ *]\([A-Za-z_0-9]*\)($/\1/' | sort >"$work/declared"
nm -D --defined-only "$real" | awk '$2 == "T" { print $3 }' | sort >"$work/exported"
diff "$work/declared" "$work/exported" >"$work/exports.diff" ||
    fail "exports differ from the header (< declared only, > exported only): $(cat "$work/exports.diff")"

# The desktop entry starts an installed program and names an installed icon.
if [ "$with_app" = ON ]; then
    desktop=$p/share/applications/tavrin.desktop
    for program in $(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop"); do
        [ -x "$p/bin/$program" ] || fail "the desktop entry starts $program, not installed"
    done
    icon=$(sed -n 's/^Icon=//p' "$desktop")
    compgen -G "$p/share/icons/hicolor/*/apps/$icon.*" >/dev/null ||
        fail "no icon $icon under share/icons/hicolor"
    grep -qx 'Type=Application' "$desktop" || fail "the desktop entry is not an application"
fi

# The installed programs load the installed library without help.
for program in tavrin-cli $([ "$with_app" = ON ] && echo tavrin); do
    resolved=$(ldd "$p/bin/$program" | awk '$1 ~ /^libtavrinlink/ { print $3 }')
    [ "$(readlink -f "$resolved")" = "$real" ] ||
        fail "$program loads libtavrinlink from '$resolved', not the installed copy"
done
"$p/bin/tavrin-cli" --simulate --dut "$p/share/tavrin/profiles/compliant-pp.ini" \
    -e "*IDN?" >"$work/cli.out" 2>&1 || fail "installed tavrin-cli: $(cat "$work/cli.out")"

# An outside program built from the installed header, library and pkg-config file only.
export PKG_CONFIG_LIBDIR=$lib/pkgconfig PKG_CONFIG_SYSROOT_DIR=$root
flags=$(pkg-config --cflags --libs tavrinlink) || fail "pkg-config does not know tavrinlink"
[[ $flags == *"-I$p/include"* && $flags == *"-L$lib"* && $flags == *-ltavrinlink* ]] ||
    fail "pkg-config flags do not name the installed files: $flags"
cxx=${CXX:-c++}
# shellcheck disable=SC2086  # flags are separate words
if $cxx -std=c++20 -Wall -Wextra -Werror "$source/tests/outside/OutsideProgram.cpp" $flags \
    -ldl -o "$work/outside_program" &&
    $cxx -std=c++20 -shared -fPIC "$source/tests/outside/FakeD2xx.cpp" -o "$work/libfake_d2xx.so"; then
    resolved=$(LD_LIBRARY_PATH=$lib ldd "$work/outside_program" | awk '$1 ~ /^libtavrinlink/ { print $3 }')
    [ "$(readlink -f "$resolved")" = "$real" ] || fail "the outside program loads '$resolved'"
    LD_LIBRARY_PATH=$lib "$work/outside_program" "$work/libfake_d2xx.so" || fail "outside program"
else
    fail "the outside program does not build from the installed files"
fi
# The header is plain C as well.
printf '#include <tavrinlink.h>\nint main(void) { return vbZelkWrt("*IDN?") != 0; }\n' >"$work/user.c"
# shellcheck disable=SC2086
${CC:-cc} -std=c99 -Wall -Wextra -pedantic -Werror "$work/user.c" $flags -o "$work/c_user" ||
    fail "a C program does not build from the installed files"

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed ($mode)" >&2
    exit 1
fi
echo "installed files checked ($mode)"
