# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by the hostile suites: the program's windows as X shows them (found by title,
# stacked above, on which workspace, active) and as the screen shows them (the colour
# beside the face, the bar's fill), and the keys that drive them. Needs DISPLAY; the
# suite's python runs these through bash as well.

# windows_named <title>: the ids of the mapped windows with exactly that title.
windows_named() {
    timeout 5 xdotool search --onlyvisible --name "^$1\$" 2>/dev/null
}

# wait_window <title> [seconds] [id to ignore]: prints the id of a mapped window with
# that title, other than the one to ignore, once there is one; fails after the time.
wait_window() {
    local title=$1 tenths=$((${2:-10} * 10)) ignore=${3:-} id
    for _ in $(seq "$tenths"); do
        for id in $(windows_named "$title"); do
            if [ "$id" != "$ignore" ]; then
                echo "$id"
                return 0
            fi
        done
        sleep 0.1
    done
    return 1
}

# wait_no_window <title> [seconds] [id to ignore]: succeeds once no such window is mapped.
wait_no_window() {
    local title=$1 tenths=$((${2:-10} * 10)) ignore=${3:-} id found
    for _ in $(seq "$tenths"); do
        found=
        for id in $(windows_named "$title"); do
            [ "$id" != "$ignore" ] && found=1
        done
        [ -z "$found" ] && return 0
        sleep 0.1
    done
    return 1
}

# focus <window>: asks the window manager to activate the window and waits until it is.
focus() {
    local id=$1
    for _ in $(seq 30); do
        [ "$(xdotool getactivewindow 2>/dev/null)" = "$id" ] && return 0
        xdotool windowactivate "$id" 2>/dev/null
        sleep 0.1
    done
    return 1
}

# keys <key...>: key strokes to whatever window has the focus, as a keyboard types them.
keys() {
    timeout 10 xdotool key --delay 30 "$@"
}

is_above() {
    xprop -id "$1" _NET_WM_STATE 2>/dev/null | grep -q _NET_WM_STATE_ABOVE
}

# wait_above <window> <seconds> / wait_not_above <window> <seconds>
wait_above() {
    for _ in $(seq $(($2 * 10))); do
        is_above "$1" && return 0
        sleep 0.1
    done
    return 1
}

wait_not_above() {
    for _ in $(seq $(($2 * 10))); do
        is_above "$1" || return 0
        sleep 0.1
    done
    return 1
}

# Where the main window's client area begins: it is 169 pixels high, under the menus.
client_top() {
    local y height
    y=$(xwininfo -id "$1" 2>/dev/null | sed -n 's/.*Absolute upper-left Y: *//p')
    height=$(xwininfo -id "$1" 2>/dev/null | sed -n 's/.*Height: *//p')
    echo $((y + height - 169))
}

# pixel <window> <x> <y>: the colour (#RRGGBB) that the screen shows at x, y of the
# window's client area.
pixel() {
    local x
    x=$(xwininfo -id "$1" 2>/dev/null | sed -n 's/.*Absolute upper-left X: *//p')
    timeout 10 import -window root -crop "1x1+$((x + $2))+$(($(client_top "$1") + $3))" \
        -depth 8 txt:- 2>/dev/null | sed -n 's/.*\(#[0-9A-F]\{6\}\).*/\1/p'
}

# colour_beside_face <window>: the background left of the face, as the screen shows it.
colour_beside_face() {
    pixel "$1" 10 100
}

# bar_filled <window>: how many of the bar's 209 pixels are filled, as the screen
# shows it (the fill is blue, the rest of the bar white).
bar_filled() {
    local x
    x=$(xwininfo -id "$1" 2>/dev/null | sed -n 's/.*Absolute upper-left X: *//p')
    timeout 10 import -window root -crop "207x1+$((x + 1))+$(($(client_top "$1") + 155))" \
        -depth 8 txt:- 2>/dev/null |
        awk -F'[(),]' 'NR > 1 && $5 + 0 > $3 + 40 { n++ } NR > 1 && $5 + 0 <= $3 + 40 { exit } END { print n + 0 }'
}

# desktop_of <window> / current_desktop: the workspace a window is on, and the one in view.
desktop_of() {
    xprop -id "$1" _NET_WM_DESKTOP 2>/dev/null | sed -n 's/.*= *//p'
}

current_desktop() {
    xprop -root _NET_CURRENT_DESKTOP 2>/dev/null | sed -n 's/.*= *//p'
}

viewable() {
    xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'
}

# time_up_problems <window>: what keeps the time's up from being seen: the window must
# be mapped, on the workspace in view, above others, active, and red beside the face.
time_up_problems() {
    local problems= colour
    viewable "$1" || problems+="not mapped; "
    [ "$(desktop_of "$1")" = "$(current_desktop)" ] ||
        problems+="on workspace $(desktop_of "$1") with $(current_desktop) in view; "
    is_above "$1" || problems+="not above; "
    [ "$(active_window)" = "$1" ] || problems+="not active; "
    colour=$(colour_beside_face "$1")
    [ "$colour" = "#FF0000" ] || problems+="the screen shows $colour beside the face; "
    echo "$problems"
}

active_window() {
    local id
    id=$(xprop -root _NET_ACTIVE_WINDOW 2>/dev/null | sed -n 's/.*# *//p')
    [ -n "$id" ] && printf '%d\n' "$id"
}

# The Timer menu's last entry is Start Timer or Stop Timer; Set Time shares its key.
start_stop() {
    focus "$main_window" && keys alt+t Up Return
}
