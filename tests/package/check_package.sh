#!/usr/bin/env bash
# Builds the Debian package from the programs already built, unpacks it into
# a temporary root and runs the packaged programs from there; checks what the
# package holds, its Depends, its manual pages against the programs' own
# help, and lintian.
# usage: check_package.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1
source=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$build" && cpack -G DEB -B "$work/out" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; fail "cpack"; }
debs=("$work"/out/*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "one .deb expected in $work/out"
deb=${debs[0]}
echo "package: $(basename "$deb")"

root=$work/root
dpkg-deb -x "$deb" "$root"
for f in usr/bin/ledsign usr/bin/ledsign-cli usr/bin/ledsign-card usr/bin/ledsignd \
  usr/share/man/man8/ledsignd.8.gz usr/lib/systemd/system/ledsign.service usr/lib/sysusers.d/ledsign.conf \
  usr/share/man/man1/ledsign.1.gz usr/share/man/man1/ledsign-cli.1.gz usr/share/man/man1/ledsign-card.1.gz \
  usr/share/applications/org.example.ledsign.desktop usr/share/icons/hicolor/scalable/apps/ledsign.svg \
  usr/share/metainfo/org.example.ledsign.metainfo.xml usr/share/bash-completion/completions/ledsign-cli \
  usr/share/doc/ledsign/copyright usr/share/doc/ledsign/changelog.gz \
  usr/share/ledsign/help/guide.en.md usr/share/ledsign/help/guide.zh_CN.md usr/share/ledsign/help/guide.zh_TW.md \
  usr/share/ledsign/web/index.html usr/share/ledsign/web/main.js; do
  [ -f "$root/$f" ] || fail "the package lacks /$f"
done
# Nothing of the build (tests, benchmarks, static libraries) comes along.
extra=$(cd "$root" && find . -type f | grep -v -E '^\./usr/(bin/ledsign(-cli|-card|d)?|lib/systemd/system/ledsign\.service|lib/sysusers\.d/ledsign\.conf|share/(man/man[18]|applications|icons|metainfo|bash-completion|doc/ledsign|ledsign/help|ledsign/web)/.*)$' || true)
[ -z "$extra" ] || fail "unexpected files in the package: $extra"

# The licence, machine-readable; a maintainer and metadata that validate.
copyright=$root/usr/share/doc/ledsign/copyright
head -n 1 "$copyright" | grep -q -x 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
  fail "the copyright file is not in the machine-readable format"
grep -q -x 'License: GPL-3.0-or-later' "$copyright" || fail "the copyright file names no GPL-3.0-or-later licence"
maintainer=$(dpkg-deb -f "$deb" Maintainer)
grep -q -E '^[^<>]+ <[^@<>]+@[^@<>]+\.[a-z]+>$' <<<"$maintainer" || fail "Maintainer: $maintainer"
appstreamcli validate --no-net --pedantic "$root/usr/share/metainfo/org.example.ledsign.metainfo.xml" >"$work/appstream.txt" 2>&1 ||
  { cat "$work/appstream.txt"; fail "appstreamcli validate"; }
desktop-file-validate "$root/usr/share/applications/org.example.ledsign.desktop" ||
  fail "desktop-file-validate"

depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for d in libqt6core6 libqt6gui6 libqt6widgets6 libqt6network6 libqt6serialport6 libc6 \
  qt6-qpa-plugins fonts-wqy-zenhei fonts-arphic-uming fonts-arphic-ukai fonts-liberation2 fonts-dejavu-core \
  fonts-dejavu-extra fonts-crosextra-carlito fonts-crosextra-caladea; do
  grep -q -E "(^|, )$d( |,|$)" <<<"$depends" || fail "Depends lacks $d"
done

# The packaged programs, run from the unpacked root: the demo starts the
# packaged virtual card that lies beside the packaged ledsign-cli.
export HOME=$work/home XDG_DATA_HOME=$work/data QT_QPA_PLATFORM=offscreen
mkdir -p "$HOME"
"$root/usr/bin/ledsign-card" --help >"$work/card-help.txt" 2>&1 || fail "ledsign-card --help: status $?"
grep -q -- '--tcp' "$work/card-help.txt" || fail "ledsign-card --help does not describe --tcp"
"$root/usr/bin/ledsign-cli" demo --home "$work/demo" >"$work/demo.log" 2>&1 || { cat "$work/demo.log"; fail "ledsign-cli demo"; }
pictures=$(find "$work/demo/card-pictures" -name '*.png' | wc -l)
[ "$pictures" -gt 0 ] || { cat "$work/demo.log"; fail "the demo card wrote no pictures"; }
echo "demo: $pictures pictures from the packaged virtual card"

# Each manual page names every option its program's help names, and
# ledsign-cli's names every command and exit status.
page_text() { zcat "$root/usr/share/man/man1/$1.1.gz" | sed 's/\\-/-/g'; }
cli=$root/usr/bin/ledsign-cli
cli_page=$(page_text ledsign-cli)
"$cli" --help >"$work/cli-help.txt"
commands=$(sed -n '/^commands:/,/^$/p' "$work/cli-help.txt" | awk 'NF && !/^commands:/ {print $1}')
[ "$(wc -w <<<"$commands")" -ge 8 ] || fail "ledsign-cli --help lists too few commands: $commands"
for c in $commands; do
  grep -q -E "^\.B[RI]? $c( |$)" <<<"$cli_page" || fail "man ledsign-cli does not describe the command $c"
  "$cli" "$c" --help >"$work/help-$c.txt" 2>&1 || fail "ledsign-cli $c --help: status $?"
  for o in $(grep -o -E -- '--[a-z][a-z0-9-]*' "$work/help-$c.txt" | sort -u); do
    grep -q -F -- "$o" <<<"$cli_page" || fail "man ledsign-cli does not describe $o of $c"
  done
done
for status in 0 1 2 3; do
  sed -n '/^\.SH "EXIT STATUS"/,/^\.SH /p' <<<"$cli_page" | grep -q -x "\.B $status" ||
    fail "man ledsign-cli does not describe exit status $status"
done
card_page=$(page_text ledsign-card)
for o in $(grep -o -E -- '--[a-z][a-z0-9-]*' "$work/card-help.txt" | sort -u); do
  grep -q -F -- "$o" <<<"$card_page" || fail "man ledsign-card does not describe $o"
done
# The service: its page names every option of its help; its unit runs it
# under systemd as the sysusers.d file's user, in its state directory.
"$root/usr/bin/ledsignd" --help >"$work/service-help.txt" 2>&1 || fail "ledsignd --help: status $?"
service_page=$(zcat "$root/usr/share/man/man8/ledsignd.8.gz" | sed 's/\\-/-/g')
for o in $(grep -o -E -- '--[a-z][a-z0-9-]*' "$work/service-help.txt" | sort -u); do
  grep -q -F -- "$o" <<<"$service_page" || fail "man ledsignd does not describe $o"
done
unit=$root/usr/lib/systemd/system/ledsign.service
user=$(awk '$1 == "u" {print $2}' "$root/usr/lib/sysusers.d/ledsign.conf")
[ "$user" = ledsign ] || fail "the sysusers.d file declares no user ledsign"
for line in Type=notify "User=$user" StateDirectory=ledsign Restart=on-failure ExecStart=ledsignd; do
  grep -q -x -- "$line" "$unit" || fail "ledsign.service lacks $line"
done
# Installing makes that user: the package's postinst runs the sysusers.d file.
dpkg-deb -e "$deb" "$work/control"
[ -x "$work/control/postinst" ] || fail "the package has no executable postinst"
grep -q -F 'systemd-sysusers /usr/lib/sysusers.d/ledsign.conf' "$work/control/postinst" ||
  fail "postinst does not make the service's user"
sh -n "$work/control/postinst" || fail "postinst is not a valid shell script"
# The editor answers --help and --version without a display.
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$root/usr/bin/ledsign" --help >"$work/app-help.txt" 2>&1 ||
  { cat "$work/app-help.txt"; fail "ledsign --help without a display: status $?"; }
grep -q -- '--demo' "$work/app-help.txt" || fail "ledsign --help does not describe --demo"
version=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$root/usr/bin/ledsign" --version 2>&1) ||
  fail "ledsign --version without a display: $version"
[ "$version" = "ledsign V2.50" ] || fail "ledsign --version says: $version"
app_page=$(page_text ledsign)
for o in $("$root/usr/bin/ledsign" --help | grep -o -E -- '--[a-z][a-z0-9-]*' | sort -u); do
  grep -q -F -- "$o" <<<"$app_page" || fail "man ledsign does not describe $o"
done

command -v lintian >/dev/null || fail "lintian is not installed (scripts/setup installs it)"
lintian --fail-on error --tag-display-limit 0 "$deb" >"$work/lintian.txt" 2>&1 || { cat "$work/lintian.txt"; fail "lintian"; }
echo "lintian:"
cat "$work/lintian.txt"
echo "package checks passed"
