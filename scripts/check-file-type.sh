#!/usr/bin/env bash
# Installs the pattern file type and the desktop entry into a private
# XDG_DATA_HOME and asks xdg-mime what a file manager would: the type of a
# .plw file (and of one without the extension, by its header), and which
# program opens that type.
set -euo pipefail
data=$1 # the folder with the type definition and the desktop entry
home=$(mktemp -d "${TMPDIR:-/tmp}/purlwise-xdg.XXXXXX")
trap 'rm -rf "$home"' EXIT
export XDG_DATA_HOME=$home/data XDG_CONFIG_HOME=$home/config HOME=$home
unset XDG_CURRENT_DESKTOP KDE_FULL_SESSION GNOME_DESKTOP_SESSION_ID DESKTOP_SESSION || true
mkdir -p "$XDG_DATA_HOME/mime/packages" "$XDG_DATA_HOME/applications" "$XDG_CONFIG_HOME"
cp "$data/org.purlwise.Purlwise.xml" "$XDG_DATA_HOME/mime/packages/"
cp "$data/org.purlwise.Purlwise.desktop" "$XDG_DATA_HOME/applications/"
update-mime-database "$XDG_DATA_HOME/mime"
update-desktop-database "$XDG_DATA_HOME/applications"

# A 1 x 1 version 2 pattern: the word 2, the counts, 16 white slots, one red cell.
printf '\002\0\0\0\001\0\0\0\001\0\0\0' >"$home/motif.plw"
for _ in $(seq 16); do printf '\377\377\377\0' >>"$home/motif.plw"; done
printf '\377\0\0\0' >>"$home/motif.plw"
cp "$home/motif.plw" "$home/motif"
printf 'not a pattern' >"$home/notes.plw.txt"

status=0
expect() {
  if [ "$2" != "$3" ]; then
    echo "$1: expected '$3', got '$2'" >&2
    status=1
  fi
}
expect "type of motif.plw" "$(xdg-mime query filetype "$home/motif.plw")" application/x-purlwise-pattern
expect "type of a pattern without .plw" "$(xdg-mime query filetype "$home/motif")" application/x-purlwise-pattern
expect "type of its notes" "$(xdg-mime query filetype "$home/notes.plw.txt")" text/plain
expect "program for the type" "$(xdg-mime query default application/x-purlwise-pattern)" org.purlwise.Purlwise.desktop
[ "$status" -eq 0 ] && echo "xdg-mime names the pattern type and opens it with Purlwise"
exit "$status"
