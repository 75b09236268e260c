#!/usr/bin/env bash
# Checks what a user gets from an installation, from the installed files alone:
#   check-install.sh destdir BUILD SOURCE PREFIX LIBDIR WITH_APP
#       installs BUILD with `cmake --install --prefix PREFIX` into a temporary DESTDIR;
#   check-install.sh deb BUILD SOURCE /usr LIBDIR WITH_APP
#       builds the three Debian packages with cpack, checks their names, control files,
#       dependencies and which files each holds, runs lintian on them (no error, no warning
#       but those install/README.md names), and unpacks them.
# Then: every file in its place, the library's SONAME links, its exports against the header,
# the desktop entry, metadata, udev rule, manual pages and completion, the installed programs
# finding the installed library and answering --version, and tests/outside compiled with
# `pkg-config --cflags --libs tavrinlink` and with find_package(TavrinLink), run, and quiet.
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
unset LD_LIBRARY_PATH PKG_CONFIG_PATH CMAKE_PREFIX_PATH TAVRIN_TRACE

case $mode in
destdir)
    DESTDIR=$root cmake --install "$build" --prefix "$prefix" >"$work/install.log" ||
        { cat "$work/install.log" >&2; exit 1; }
    ;;
deb)
    cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/pkg" >"$work/cpack.log" ||
        { cat "$work/cpack.log" >&2; exit 1; }
    version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
    release=$(sed -n 's/^set(CPACK_DEBIAN_PACKAGE_RELEASE "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
    full=$version-$release
    multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
    [ "$libdir" = "lib/$multiarch" ] || fail "the library folder is $libdir, not lib/$multiarch"
    declare -A deb
    for package in libtavrinlink3 libtavrinlink-dev tavrin; do
        deb[$package]=$work/pkg/${package}_${full}_$(dpkg --print-architecture).deb
        [ -f "${deb[$package]}" ] ||
            { echo "FAILED: no ${deb[$package]}; built: $(ls "$work/pkg")" >&2; exit 1; }
        dpkg-deb -c "${deb[$package]}" | awk '{ print $6 }' | sed 's|^\./|/|' >"$work/$package.files"
        dpkg-deb -e "${deb[$package]}" "$work/control-$package"
        [ -n "$(dpkg-deb -f "${deb[$package]}" Maintainer | grep -v localhost)" ] ||
            fail "$package has no real maintainer"
    done
    # Which files each package holds: the library alone, its development files, the rest.
    grep -vE "^$prefix/($libdir/libtavrinlink\.so\.[0-9.]+|share/doc/libtavrinlink3/.*)\$" \
        "$work/libtavrinlink3.files" | grep -v '/$' >"$work/stray" && fail "libtavrinlink3 holds: $(cat "$work/stray")"
    grep -vE "^$prefix/(include/tavrinlink\.h|$libdir/libtavrinlink\.so|$libdir/(pkgconfig|cmake/TavrinLink)/.*|share/doc/libtavrinlink-dev/.*)\$" \
        "$work/libtavrinlink-dev.files" | grep -v '/$' >"$work/stray" && fail "libtavrinlink-dev holds: $(cat "$work/stray")"
    grep -E "libtavrinlink|tavrinlink\.h|cmake/|pkgconfig/" "$work/tavrin.files" >"$work/stray" &&
        fail "tavrin holds development or library files: $(cat "$work/stray")"
    for package in "${!deb[@]}"; do
        grep -qx "$prefix/share/doc/$package/changelog.Debian.gz" "$work/$package.files" ||
            fail "$package has no changelog.Debian.gz"
        grep -qx "$prefix/share/doc/$package/copyright" "$work/$package.files" ||
            fail "$package has no copyright file"
    done
    # Found by dpkg-shlibdeps from each one's own needs, and the library in its exact version.
    needs() {
        local depends
        depends=$(dpkg-deb -f "${deb[$1]}" Depends)
        shift
        for need in "$@"; do
            [[ ", $depends," == *", $need "* || ", $depends," == *", $need,"* ]] ||
                fail "Depends lacks $need: $depends"
        done
    }
    needs libtavrinlink3 libc6 libftdi1-2
    needs libtavrinlink-dev "libtavrinlink3 (= $full)"
    # shellcheck disable=SC2046  # no word when the program is not built
    needs tavrin "libtavrinlink3 (= $full)" libreadline8 $([ "$with_app" = ON ] && echo libqt6widgets6)
    grep -qx "libtavrinlink 3 libtavrinlink3 (>= $full)" "$work/control-libtavrinlink3/shlibs" ||
        fail "libtavrinlink3 has no shlibs entry"
    grep -qx 'activate-noawait ldconfig' "$work/control-libtavrinlink3/triggers" ||
        fail "no ldconfig trigger"
    # The maintainer scripts never fail, with or without a running udev, even when udevadm fails.
    mkdir -p "$work/fakebin"
    printf '#!/bin/sh\nexit 1\n' >"$work/fakebin/udevadm"
    chmod +x "$work/fakebin/udevadm"
    for script in "postinst configure" "postrm remove" "postrm purge"; do
        set -- $script
        [ -x "$work/control-tavrin/$1" ] || { fail "$1 missing or not executable"; continue; }
        PATH=$work/fakebin:$PATH sh "$work/control-tavrin/$1" "$2" || fail "$script fails"
    done
    grep -q udevadm "$work/control-tavrin/postinst" || fail "postinst does not reload the udev rules"
    # Lintian: no error, and no warning but the ones install/README.md names with a reason
    # (its lines "- `tag`: reason" under "Lintian warnings we keep").
    allowed=$(sed -n '/^## Lintian warnings we keep/,/^## /s/^- `\([a-z0-9-]*\)`.*/\1/p' \
        "$source/install/README.md" | paste -sd, -)
    lintian --fail-on error,warning ${allowed:+--suppress-tags "$allowed"} \
        "${deb[@]}" >"$work/lintian.log" 2>&1 || fail "lintian: $(cat "$work/lintian.log")"
    cat "$work"/*.files >"$work/contents"
    for package in "${!deb[@]}"; do dpkg-deb -x "${deb[$package]}" "$root"; done
    ;;
*)
    echo "usage: $0 destdir|deb BUILD SOURCE PREFIX LIBDIR WITH_APP" >&2
    exit 2
    ;;
esac

p=$root$prefix
lib=$p/$libdir
rule=lib/udev/rules.d/70-tavrin-tester.rules
metainfo=share/metainfo/example.tavrin.Tavrin.metainfo.xml
completion=share/bash-completion/completions/tavrin-cli
expect=(include/tavrinlink.h "$libdir/pkgconfig/tavrinlink.pc" bin/tavrin-cli "$rule"
    "$libdir/cmake/TavrinLink/TavrinLinkConfig.cmake" share/man/man1/tavrin-cli.1.gz
    "$completion")
[ "$with_app" = ON ] && expect+=(bin/tavrin share/applications/tavrin.desktop "$metainfo"
    share/man/man1/tavrin.1.gz)
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
    if [ "$mode" = deb ] && ! grep -qx "$prefix/$f" "$work/contents"; then
        fail "the package does not list $prefix/$f"
    fi
done
grep -q "^ExecStart=$prefix/bin/tavrin-cli serve " "$p/lib/systemd/system/tavrin-scpi.service" ||
    fail "tavrin-scpi.service does not start $prefix/bin/tavrin-cli serve"
# install_manifest.txt names installed files as they will be seen, never with DESTDIR.
if [ "$mode" = destdir ]; then
    grep -F "$root" "$build/install_manifest.txt" >"$work/stray" &&
        fail "install_manifest.txt records DESTDIR: $(cat "$work/stray")"
    grep -qx "$prefix/$libdir/pkgconfig/tavrinlink.pc" "$build/install_manifest.txt" ||
        fail "install_manifest.txt lacks the pkg-config file"
fi

# The udev rule: the user at the desk (uaccess, before 73-seat-late.rules turns the tag into
# an access list) and plugdev get the tester, and the serial driver lets go of it.
cmp -s "$source/install/${rule##*/}" "$p/$rule" ||
    fail "the installed udev rule differs from install/${rule##*/}"
number=${rule##*/}
[ "${number%%-*}" -lt 73 ] || fail "the udev rule ${rule##*/} sorts after 73-seat-late.rules"
for want in 'TAG+="uaccess"' 'GROUP="plugdev"' 'ftdi_sio/unbind'; do
    grep 'ATTRS{idVendor}=="0403", ATTRS{idProduct}=="6001"' "$p/$rule" | grep -qF "$want" ||
        fail "the udev rule for 0403:6001 lacks $want"
done

# Both programs answer --version and --help and end, without a display or a tester (no
# X server here: a window would make the program fail).
for program in tavrin-cli $([ "$with_app" = ON ] && echo tavrin); do
    out=$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$p/bin/$program" --version 2>&1) ||
        fail "$program --version fails: $out"
    [ "$out" = "$program $(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' \
        "$build/CPackConfig.cmake")" ] || fail "$program --version says: $out"
    env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$p/bin/$program" --help \
        >"$work/help" 2>&1 || fail "$program --help fails: $(cat "$work/help")"
    # The manual page is made from the same help text.
    zcat "$p/share/man/man1/$program.1.gz" >"$work/page" || fail "no manual page for $program"
    grep -q '^\.TH ' "$work/page" || fail "$program.1 is no manual page"
    for option in $(grep -oE -- '(^|[ ,[])--[a-z][a-z-]*' "$work/help" | tr -d ' ,[' | sort -u); do
        grep -qF -- "${option//-/\\-}" "$work/page" || fail "$program.1 lacks $option"
    done
done

# The completion offers the installed program's subcommands, options and files.
complete_words() {
    (
        export PATH=$p/bin:$PATH
        # shellcheck disable=SC1090
        source "$p/$completion"
        COMP_WORDS=(tavrin-cli "$@")
        COMP_CWORD=$#
        _tavrin_cli
        printf '%s\n' "${COMPREPLY[@]}"
    )
}
# (Read whole: grep -q leaving a pipe early would fail it under pipefail.)
offers() {
    local word=$1
    shift
    grep -qx -- "$word" <<<"$(complete_words "$@")"
}
offers test te || fail "completion: no subcommand test"
offers --version --vers || fail "completion: no --version"
offers "$p/share/tavrin/plans/pp.ini" --simulate test "$p/share/tavrin/plans/" ||
    fail "completion: no plan files after test"
offers "$p/share/tavrin/profiles/compliant-pp.ini" --dut "$p/share/tavrin/profiles/compl" ||
    fail "completion: no profile after --dut"

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
    appstreamcli validate --no-net "$p/$metainfo" >"$work/appstream.log" 2>&1 ||
        fail "the AppStream metadata is not valid: $(cat "$work/appstream.log")"
    grep -q "<launchable type=\"desktop-id\">${desktop##*/}</launchable>" "$p/$metainfo" ||
        fail "the metadata does not launch ${desktop##*/}"
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
    LD_LIBRARY_PATH=$lib "$work/outside_program" "$work/libfake_d2xx.so" 2>"$work/err" >/dev/null ||
        fail "outside program: $(cat "$work/err")"
    [ -s "$work/err" ] && fail "the library is not quiet: $(head -c 2000 "$work/err")"
else
    fail "the outside program does not build from the installed files"
fi
# The same program as a CMake project of its own: find_package(TavrinLink) alone finds it.
if cmake -S "$source/tests/outside/consumer" -B "$work/consumer" -G Ninja \
    -DCMAKE_PREFIX_PATH="$p" -DCMAKE_CXX_COMPILER="$cxx" >"$work/consumer.log" 2>&1 &&
    cmake --build "$work/consumer" >>"$work/consumer.log" 2>&1; then
    env -u TAVRIN_TRACE "$work/consumer/outside_program" "$work/consumer/libfake_d2xx.so" \
        2>"$work/err" >/dev/null || fail "find_package program: $(cat "$work/err")"
    [ -s "$work/err" ] && fail "find_package program: not quiet: $(head -c 2000 "$work/err")"
    grep -q "$lib/libtavrinlink" "$work/consumer/build.ninja" ||
        fail "the find_package program does not link the installed library"
else
    fail "find_package(TavrinLink) does not build the outside program: $(cat "$work/consumer.log")"
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
