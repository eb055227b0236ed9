#!/usr/bin/env bash
# Installs the build tree BUILD into a staging folder as a packager would (prefix /usr, DESTDIR)
# and checks what lands there: exactly the expected files, programs that run and say the
# project's version, a desktop entry and an AppStream file that their validators pass and
# whose names point at installed files and pictures, and a udev rule that logind applies.
#
#   check-install.sh BUILD VERSION GUI(ON|OFF) SCREENSHOTS
#
# SCREENSHOTS is the folder of pictures the site publishes under ORVANRX_SCREENSHOTS_URL.
#
# Exits 77 (skipped) when everything checked passed but a validator is not installed.
set -uo pipefail
export LC_ALL=C
build=$1
version=$2
gui=$3
screenshots=$4

staging=$(mktemp -d)
trap 'rm -rf "$staging"' EXIT
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

if ! DESTDIR="$staging" cmake --install "$build" --prefix /usr >"$staging.log" 2>&1; then
    cat "$staging.log"
    rm -f "$staging.log"
    echo "FAIL: cmake --install failed"
    exit 1
fi
rm -f "$staging.log"
root=$staging/usr

# Exactly these files: nothing missing, and no library, header or test program along.
expected=(bin/orvanrx-cli lib/udev/rules.d/70-orvanrx-receiver.rules share/man/man1/orvanrx-cli.1.gz)
if [ "$gui" = ON ]; then
    expected+=(bin/orvanrx share/applications/orvanrx.desktop
        share/metainfo/org.orvanrx.orvanrx.metainfo.xml share/man/man1/orvanrx.1.gz
        share/icons/hicolor/scalable/apps/orvanrx.svg)
    for side in 16 24 32 48 64 128 256; do
        expected+=("share/icons/hicolor/${side}x${side}/apps/orvanrx.png")
    done
fi
diff <(printf '%s\n' "${expected[@]}" | sort) <(cd "$root" && find . -type f | sed 's|^\./||' | sort) ||
    fail "installed files differ from the expected ones (< expected, > installed)"

# The programs run from where they were installed and are this version.
for program in orvanrx-cli orvanrx; do
    [ -x "$root/bin/$program" ] || continue  # a missing program is a difference above
    said=$(QT_QPA_PLATFORM=offscreen "$root/bin/$program" --version 2>&1)
    [[ "$said" == *"$version"* ]] || fail "$program --version said '$said', not version $version"
done

# udev: logind grants the seat's user access to devices tagged uaccess in 73-seat-late.rules,
# so the rule must be read before it.
rule=$root/lib/udev/rules.d/70-orvanrx-receiver.rules
grep -Eq '^SUBSYSTEM=="usb".*ATTR\{idVendor\}=="10c4".*ATTR\{idProduct\}=="ea61".*TAG\+="uaccess"' \
    "$rule" || fail "the udev rule does not tag the receiver 10c4:ea61 with uaccess"
grep -Eq '^SUBSYSTEM=="usb".*ATTR\{idProduct\}=="ea61".*GROUP="plugdev".*MODE="0660"' "$rule" ||
    fail "the udev rule does not give the receiver 10c4:ea61 to the group plugdev (mode 0660)"
[[ "$(basename "$rule")" < "73-seat-late.rules" ]] || fail "the udev rule sorts after 73-seat-late.rules"

skipped=()
if [ "$gui" = ON ]; then
    desktop=$root/share/applications/orvanrx.desktop
    metainfo=$root/share/metainfo/org.orvanrx.orvanrx.metainfo.xml

    # What the desktop entry names must be installed: its program and its icon.
    for exec in $(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop"); do
        [ -x "$root/bin/$exec" ] || fail "the desktop entry starts '$exec', which is not installed"
    done
    icon=$(sed -n 's/^Icon=//p' "$desktop")
    [ -f "$root/share/icons/hicolor/scalable/apps/$icon.svg" ] ||
        fail "the desktop entry's icon '$icon' is not in the hicolor theme"
    grep -qx 'Keywords=drag racing;time slip;race log;' "$desktop" ||
        fail "the desktop entry lacks the keywords"

    # The metainfo launches the installed desktop entry, names installed programs and lists
    # this version as its newest release.
    launchable=$(sed -n 's|.*<launchable type="desktop-id">\(.*\)</launchable>.*|\1|p' "$metainfo")
    [ -f "$root/share/applications/$launchable" ] ||
        fail "the metainfo launches '$launchable', which is not installed"
    for binary in $(sed -n 's|.*<binary>\(.*\)</binary>.*|\1|p' "$metainfo"); do
        [ -x "$root/bin/$binary" ] || fail "the metainfo provides '$binary', which is not installed"
    done
    newest=$(sed -n 's|.*<release version="\([^"]*\)".*|\1|p' "$metainfo" | head -n 1)
    [ "$newest" = "$version" ] ||
        fail "the metainfo's newest release is '$newest', the project's version $version"
    grep -q '@[A-Z_]*@' "$metainfo" && fail "the metainfo holds an unreplaced @VARIABLE@"
    # Its screenshots are published from the repository's pictures under the same names.
    pictures=$(sed -n 's|.*<image>.*/\([^/]*\)</image>.*|\1|p' "$metainfo")
    [ -n "$pictures" ] || fail "the metainfo shows no screenshot"
    for picture in $pictures; do
        [ -f "$screenshots/$picture" ] ||
            fail "the metainfo shows '$picture', which is not in $screenshots"
    done

    # The validators: clean means no message at all, not even a hint.
    if command -v desktop-file-validate >/dev/null; then
        said=$(desktop-file-validate "$desktop" 2>&1) && [ -z "$said" ] ||
            fail "desktop-file-validate: $said"
    else
        skipped+=(desktop-file-validate)
    fi
    if command -v appstreamcli >/dev/null; then
        said=$(appstreamcli validate --no-net --pedantic --no-color "$metainfo" 2>&1)
        status=$?
        [ $status -eq 0 ] && ! grep -Eq '^[EWIP]: ' <<<"$said" ||
            fail "appstreamcli validate: $said"
    else
        skipped+=(appstreamcli)
    fi
fi

if [ $failures -gt 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
if [ ${#skipped[@]} -gt 0 ]; then
    echo "installed files fine; not validated, missing: ${skipped[*]}"
    exit 77
fi
echo "installed files fine"
