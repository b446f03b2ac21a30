#!/usr/bin/env bash
# Installs the pattern file type and the desktop entry into a private
# XDG_DATA_HOME and asks xdg-mime what a file manager would: the type of a
# pattern file, with its .plw and by its header alone, and what opens it.
set -euo pipefail
home=$(mktemp -d "${TMPDIR:-/tmp}/purlwise-xdg.XXXXXX")
trap 'rm -rf "$home"' EXIT
export XDG_DATA_HOME=$home/data XDG_CONFIG_HOME=$home/config HOME=$home
unset XDG_CURRENT_DESKTOP KDE_FULL_SESSION GNOME_DESKTOP_SESSION_ID DESKTOP_SESSION || true
mkdir -p "$XDG_DATA_HOME/mime/packages" "$XDG_DATA_HOME/applications" "$XDG_CONFIG_HOME"
cp "$1/org.purlwise.Purlwise.xml" "$XDG_DATA_HOME/mime/packages/"
cp "$1/org.purlwise.Purlwise.desktop" "$XDG_DATA_HOME/applications/"
update-mime-database "$XDG_DATA_HOME/mime"
update-desktop-database "$XDG_DATA_HOME/applications"

# A 1 x 1 pattern: the version word, the counts, 16 white slots, one red cell.
{ printf '\002\0\0\0\001\0\0\0\001\0\0\0'; for _ in $(seq 16); do printf '\377\377\377\0'; done; printf '\377\0\0\0'; } >"$home/motif.plw"
cp "$home/motif.plw" "$home/motif"
got="$(xdg-mime query filetype "$home/motif.plw") $(xdg-mime query filetype "$home/motif")"
got="$got $(xdg-mime query default application/x-purlwise-pattern)"
expected="application/x-purlwise-pattern application/x-purlwise-pattern org.purlwise.Purlwise.desktop"
[ "$got" = "$expected" ] || { echo "expected: $expected" >&2; echo "got:      $got" >&2; exit 1; }
echo "xdg-mime names the pattern type and opens it with Purlwise"
