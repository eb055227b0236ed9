#!/usr/bin/env bash
# Keeps the manual pages true to the programs: every command orvanrx-cli lists and every
# option a program or command prints in its --help must be in its page, and the pages must
# name the project's version and format without a groff warning.
#
#   check-man-pages.sh MAN_FOLDER VERSION CLI [GUI]
set -uo pipefail
export LC_ALL=C.UTF-8
man_folder=$1
version=$2
cli=$3
gui=${4:-}
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# The page as plain text, hyphens as typed.
page_text() {
    groff -man -Tutf8 -P-cbou "$man_folder/$1.1" 2>/dev/null | sed 's/‐/-/g; s/−/-/g'
}

# Every long option of a --help text, "-h, --help" and "-v, --version" aside (the page names them in
# its synopsis or not at all).
long_options() {
    grep -oE -- '--[a-z][a-z-]*' | grep -vxE -- '--help|--help-all|--version' | sort -u
}

# Each option must be in the page's synopsis and described below it (as a whole word: --image
# is not --imagex).
check_options() { # PAGE WHAT HELP_TEXT
    local option text synopsis body
    text=$(page_text "$1")
    synopsis=$(sed -n '/^SYNOPSIS/,/^DESCRIPTION/p' <<<"$text")
    body=$(sed '/^SYNOPSIS/,/^DESCRIPTION/d' <<<"$text")
    for option in $(long_options <<<"$3"); do
        grep -qE -- "$option([^a-z-]|\$)" <<<"$synopsis" ||
            fail "$1.1 lacks $2's $option in its synopsis"
        grep -qE -- "$option([^a-z-]|\$)" <<<"$body" || fail "$1.1 does not describe $2's $option"
    done
}

for page in orvanrx-cli ${gui:+orvanrx}; do
    [ -f "$man_folder/$page.1" ] || fail "no manual page $page.1"
    warnings=$(groff -man -ww -z -Tutf8 "$man_folder/$page.1" 2>&1)
    [ -z "$warnings" ] || fail "$page.1 formats with warnings: $warnings"
    grep -q "^\.TH .* \"OrvanRX $version\"" "$man_folder/$page.1" ||
        fail "$page.1 is not the page of version $version"
done

usage=$("$cli" --help)
commands=$(sed -n 's/^  \([a-z][a-z-]*\) .*/\1/p' <<<"$usage")
[ -n "$commands" ] || fail "orvanrx-cli --help lists no commands"
cli_page=$(page_text orvanrx-cli)
for command in $commands; do
    grep -qE "^ {7}$command( |$)" <<<"$cli_page" ||
        fail "orvanrx-cli.1 has no entry for the command '$command'"
    check_options orvanrx-cli "orvanrx-cli $command" "$("$cli" "$command" --help 2>&1)"
done

if [ -n "$gui" ]; then
    check_options orvanrx orvanrx "$(QT_QPA_PLATFORM=offscreen "$gui" --help 2>&1)"
fi

if [ $failures -gt 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "manual pages describe every command and option: ${commands//$'\n'/, }"
