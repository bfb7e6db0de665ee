#!/usr/bin/env bash
# Checks that includes only point down the layers (core, ui/common, ui/<area>, ui/shell) and that no
# form is reached through a slot name in a string. Prints each breach; exits 1 when there is one.
set -uo pipefail
cd "$(dirname "$0")/../src"
status=0
breach() { echo "$1"; status=1; }

# core: Qt Core and Sql only, nothing of the user interface.
while IFS= read -r hit; do breach "core includes the user interface: $hit"; done < <(
    grep -rnE '#include ["<](ui/|QtWidgets|QtGui|Q(Widget|Dialog|Painter|Pixmap|Image|Color|Font|Icon|Application|GuiApplication|Label|PushButton|Window)\b)' core)
# core's areas in their order: each includes only itself and the areas below it.
declare -A below=(
    [store]="" [book]="store" [diaries]="store book" [milestones]="store book" [names]="store"
    [help]="store" [sharing]="store" [overview]="store book diaries milestones" [exchange]="store book sharing"
    [album]="store book diaries milestones overview"
    [reports]="store book diaries milestones")
for area in core/*/; do
    area=$(basename "$area")
    [ -v "below[$area]" ] || { breach "core/$area has no place in the order of core's areas"; continue; }
    allowed="$area ${below[$area]}"
    while IFS= read -r hit; do
        used=$(sed -E 's#.*"core/([a-z]+)/.*#\1#' <<<"$hit")
        [[ " $allowed " == *" $used "* ]] || breach "core/$area includes an area above it: $hit"
    done < <(grep -rnE '#include "core/' "core/$area")
done
# ui/common: no form and nothing of the shell.
while IFS= read -r hit; do breach "ui/common includes a form or the shell: $hit"; done < <(
    grep -rnE '#include "ui/' ui/common | grep -v '#include "ui/common/')
# the areas: never the shell.
while IFS= read -r hit; do breach "a form includes the shell: $hit"; done < <(
    grep -rnE '#include "ui/shell/' ui --include='*.h' --include='*.cpp' | grep -v '^ui/shell/')
# typed wiring: no slot looked up by its name.
while IFS= read -r hit; do breach "a slot named in a string: $hit"; done < <(
    grep -rnE 'invokeMethod\([^,]*, *"|SLOT\(|SIGNAL\(' .)
[ $status -eq 0 ] && echo "layers: every include points down, no slot is named in a string"
exit $status
