#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Hostile conditions: the built program on a virtual X server under a real window
# manager, met as a child at the keyboard would meet it. Each case starts the program
# from a fresh home folder and looks at it only from outside: X windows and their
# properties, the exit status and the settings file.
#
# usage: run.sh <path to TurnKeeper>
# While working on it: HOSTILE_GROUPS="close top dodge hold child resume signals files
# store kills paste logout"
# (any of them) runs only those groups, HOSTILE_KILLS=<n> makes fewer SIGKILL rounds.
set -u
built=$(readlink -f "${1:?usage: run.sh <path to TurnKeeper>}")
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
python=/usr/bin/python3

work=$(mktemp -d)
chmod 755 "$work" # the cases run as nobody need to reach their home folders
xvfb_pid=
wm_pid=
program_pid=
clip_pid=

cleanup() {
    [ -n "${kills_pid:-}" ] && kill "$kills_pid" 2>/dev/null
    [ -n "$program_pid" ] && kill -KILL "$program_pid" 2>/dev/null
    [ -n "$clip_pid" ] && kill "$clip_pid" 2>/dev/null && wait "$clip_pid" 2>/dev/null
    [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

source "$here/../../scripts/checks.sh"
source "$here/screen.sh"

# The cases run a copy of the program and its files in a folder that every user can
# read, since some run as nobody, who may not enter the checkout (a clone under /root,
# or in a home folder of mode 0700).
program_dir="$work/program"
program="$program_dir/$(basename "$built")"
mkdir -p "$program_dir"
cp "$built" "$program"
for file in "${runtime_files[@]}" turnkeeper-sound.so; do
    cp "$(dirname "$built")/$file" "$program_dir/"
done
chmod -R a+rX "$program_dir"

# ---------------------------------------------------------------- the desktop

# start_desktop <name>: a virtual X server of its own with openbox on it; sets DISPLAY,
# xvfb_pid and wm_pid.
start_desktop() {
    if ! start_xvfb "$work/$1.xvfb.log" 1280x1024x24; then
        echo "FAIL: Xvfb did not start"
        cat "$work/$1.xvfb.log"
        return 1
    fi
    if ! start_openbox "$work/$1.openbox.log"; then
        echo "FAIL: openbox did not start"
        cat "$work/$1.openbox.log" "$work/$1.xvfb.log"
        return 1
    fi
}

start_desktop main || exit 1

# ---------------------------------------------------------------- helpers

# wanted <group>: HOSTILE_GROUPS, when set, names the groups of cases to run.
wanted() {
    [ -z "${HOSTILE_GROUPS:-}" ] || [[ " $HOSTILE_GROUPS " == *" $1 "* ]]
}

case_number=0
# fresh_home: a new, empty home folder for the next case.
fresh_home() {
    case_number=$((case_number + 1))
    case_dir="$work/case$case_number"
    export HOME="$case_dir/home"
    export XDG_CONFIG_HOME="$HOME/.config"
    mkdir -p "$HOME"
    conf_dir="$XDG_CONFIG_HOME/TurnKeeper"
    conf="$conf_dir/TurnKeeper.conf"
    log="$case_dir/program.log"
}

# write_conf <text for printf %b>: a settings file written by hand.
write_conf() {
    mkdir -p "$conf_dir"
    printf '%b' "$1" >"$conf"
}

# start_program [runuser -u nobody --]: starts TurnKeeper from its own folder, where
# the pictures and the horn lie, and waits up to 10 s for its window: sets main_window.
start_program() {
    main_window=
    (cd "$program_dir" && exec "$@" env HOME="$HOME" XDG_CONFIG_HOME="$XDG_CONFIG_HOME" \
        DISPLAY="$DISPLAY" QT_QPA_PLATFORM=xcb "$program") >>"$log" 2>&1 &
    program_pid=$!
    main_window=$(wait_window TurnKeeper 10) || main_window=
    [ -n "$main_window" ]
}

# wait_exit [seconds]: waits for the program to end and sets exit_status; kills it
# and answers false when it is still there after the time.
wait_exit() {
    local tenths=$((${1:-10} * 10))
    exit_status=
    for _ in $(seq "$tenths"); do
        if ! kill -0 "$program_pid" 2>/dev/null; then
            wait "$program_pid"
            exit_status=$?
            program_pid=
            return 0
        fi
        sleep 0.1
    done
    kill_program
    return 1
}

kill_program() {
    [ -z "$program_pid" ] && return
    # Started through runuser or a shell, the program is a child of the process started.
    local child
    for child in $(pgrep -P "$program_pid"); do
        kill -KILL "$child" 2>/dev/null
    done
    kill -KILL "$program_pid" 2>/dev/null
    wait "$program_pid" 2>/dev/null
    program_pid=
}

# end_program: SIGTERM, then the exit status (255 when it did not end within 10 s).
end_program() {
    [ -z "$program_pid" ] && return
    kill -TERM "$program_pid" 2>/dev/null
    wait_exit 10 || exit_status=255
}

# turn_started: the start of the recorded turn, in seconds since 1970.
turn_started() {
    date -d "$(awk '/^\[/ { inside = ($0 == "[Turn]") } inside && sub(/^Started=/, "")' "$conf")" +%s
}

# saved_max_time: the MaxTime line of the settings file, or nothing.
saved_max_time() {
    awk '/^\[/ { inside = ($0 == "[Settings]") } inside && sub(/^MaxTime=/, "")' "$conf" 2>/dev/null
}

# type_text <text>: characters typed into the focused window.
type_text() {
    timeout 20 xdotool type --delay 8 -- "$1"
}

# window_titles: the titles of the mapped windows, for failure reports.
window_titles() {
    local id
    for id in $(timeout 5 xdotool search --onlyvisible --name . 2>/dev/null); do
        printf '"%s" ' "$(xdotool getwindowname "$id" 2>/dev/null)"
    done
}

# stacked_above <upper> <lower>: the window manager stacks the first window above the
# second (its list runs from the bottom up, through every layer).
stacked_above() {
    local id at=0 upper= lower=
    for id in $(xprop -root _NET_CLIENT_LIST_STACKING 2>/dev/null | sed 's/.*# //; s/,//g'); do
        [ $((id)) = "$1" ] && upper=$at
        [ $((id)) = "$2" ] && lower=$at
        at=$((at + 1))
    done
    [ -n "$upper" ] && [ -n "$lower" ] && [ "$upper" -gt "$lower" ]
}

# geometry <window>: position and size as the X server has them.
geometry() {
    xwininfo -id "$1" 2>/dev/null |
        sed -n 's/.*Absolute upper-left X: *//p; s/.*Absolute upper-left Y: *//p;
                s/.*Width: *//p; s/.*Height: *//p' | tr '\n' ' '
}

# answer_prompt <password>: the prompt is opening; types the password and presses Enter.
answer_prompt() {
    local prompt
    prompt=$(wait_window "TurnKeeper Security" 5) || return 1
    focus "$prompt" || return 1
    type_text "$1" && keys Return
}

# open_password_change <password>: Security, the prompt answered; sets change_window.
open_password_change() {
    change_window=
    focus "$main_window" && keys alt+r s || return 1
    answer_prompt "$1" || return 1
    change_window=$(wait_window "Modify Security Settings" 5)
}

# fill_password_change <new password>: the change window is open with the focus in the
# current password; types the new password twice and presses OK (Tab order: new,
# verify, Cancel, OK).
fill_password_change() {
    focus "$change_window" || return 1
    keys Tab && type_text "$1" && keys Tab && type_text "$1" && keys Tab Tab space
}

# close_window <window>: the window manager's close, as the close box gives it.
close_window() {
    timeout 5 wmctrl -i -c "$1"
}

# password_accepted <password>: Security with that password opens the change window,
# which is then closed again. Leaves the prompt closed either way.
password_accepted() {
    local prompt box
    focus "$main_window" && keys alt+r s || return 1
    prompt=$(wait_window "TurnKeeper Security" 5) || return 1
    focus "$prompt" && type_text "$1" && keys Return
    change_window=$(wait_window "Modify Security Settings" 3) || change_window=
    if [ -n "$change_window" ]; then
        close_window "$change_window"
        wait_no_window "Modify Security Settings" 5
        return 0
    fi
    # Refused: dismiss the message and cancel the prompt.
    if box=$(wait_window "TurnKeeper Login" 3); then
        focus "$box" && keys Return
        wait_no_window "TurnKeeper Login" 3
    fi
    focus "$prompt" && keys Escape
    wait_no_window "TurnKeeper Security" 3
    return 1
}

# empty_password_refused: an empty entry at the prompt gives "Login Failed".
empty_password_refused() {
    local prompt box
    focus "$main_window" && keys alt+r s || return 1
    prompt=$(wait_window "TurnKeeper Security" 5) || return 1
    focus "$prompt" && keys Return
    box=$(wait_window "TurnKeeper Login" 3) || box=
    if [ -n "$box" ]; then
        focus "$box" && keys Return
        wait_no_window "TurnKeeper Login" 3
    else
        wait_no_window "Modify Security Settings" 0 ||
            close_window "$(wait_window "Modify Security Settings" 1)"
    fi
    if windows_named "TurnKeeper Security" | grep -q .; then
        focus "$prompt" && keys Escape
        wait_no_window "TurnKeeper Security" 3
    fi
    [ -n "$box" ]
}

# ------------------------------------------------- killed in the middle of changes
# settings_sound <file> <old> <new>: the file holds just the [Settings] group with
# the old or the new password, as the program writes it.
settings_sound() {
    local line password=
    [ -f "$1" ] || return 1
    while IFS= read -r line; do
        case $line in
        '[Settings]' | '') ;;
        Password=*) [ -z "$password" ] || return 1; password=${line#Password=} ;;
        *) return 1 ;;
        esac
    done <"$1"
    [ "$password" = "$2" ] || [ "$password" = "$3" ]
}

# stop_driver <pid>: ends a background run of key strokes and what it runs, so that
# none of its keys reach the next round's windows.
stop_driver() {
    kill -KILL -- "-$1" 2>/dev/null
    wait "$1" 2>/dev/null
}

kill_cases() {
    fresh_home
    write_conf '[Settings]\nPassword=start\n'
    current=start
    kills=0
    changes=0
    broken=
    misses=0
    rounds=${HOSTILE_KILLS:-200}
    round=0
    while ((kills < rounds)); do
        round=$((round + 1))
        new="pw$round"
        start_program || { broken="round $round: the window did not map"; break; }
        # Every other kill lands within a tenth of a second of OK, while the file is
        # being replaced; the others at any moment of the whole change.
        if ((round % 2 == 0)); then
            # A job of its own, so that its whole process group can be ended.
            set -m
            (open_password_change "$current" && fill_password_change "$new") &
            driver=$!
            set +m
            sleep "0.$((RANDOM % 10))$((RANDOM % 10))"
            kill_program
            stop_driver "$driver"
        else
            if ! open_password_change "$current"; then
                # A key stroke lost on a busy machine is not what this case is about; a
                # program that keeps refusing its password, round after round, is.
                misses=$((misses + 1))
                if ((misses > 5)); then
                    broken="round $round: the password change window did not open; windows: $(window_titles)"
                    break
                fi
                kill_program
                continue
            fi
            misses=0
            focus "$change_window" && keys Tab && type_text "$new" && keys Tab &&
                type_text "$new" && keys Tab Tab
            timeout 5 xdotool key space
            sleep "0.0$((RANDOM % 10))$((RANDOM % 10))"
            kill_program
        fi
        kills=$((kills + 1))
        if ! settings_sound "$conf" "$current" "$new"; then
            broken="round $round: $(head -c 200 "$conf" | tr '\n' '|')"
            break
        fi
        new_password=$(sed -n 's/^Password=//p' "$conf")
        [ "$new_password" != "$current" ] && changes=$((changes + 1))
        current=$new_password
    done
    kill_program
    if [ -z "$broken" ] && [ "$kills" = "$rounds" ]; then
        pass "$kills SIGKILLs during password changes ($changes changes saved): the file always holds the old or the new password"
    else
        fail "SIGKILLs during password changes: the file always holds the old or the new password" \
            "after $kills kills: $broken"
    fi
}

# They take longest, so they run beside the others, on a desktop of their own.
kills_pid=
if wanted kills; then
    (
        trap 'kill_program; kill "$wm_pid" "$xvfb_pid" 2>/dev/null' EXIT
        program_pid= wm_pid= xvfb_pid= case_number=1000
        start_desktop kills && kill_cases
    ) >"$work/kills.out" 2>&1 &
    kills_pid=$!
fi

# ------------------------------------------------ closing from the window manager
if wanted close; then

# close_by <method> <window>
close_by() {
    case $1 in
    wmctrl) timeout 5 wmctrl -i -c "$2" ;;
    alt+F4) focus "$2" && keys alt+F4 ;;
    WM_DELETE_WINDOW) timeout 5 "$python" "$here/wm_delete.py" "$2" ;;
    esac
}

# still_there: the same window is mapped and the process lives, half a second later.
still_there() {
    sleep 0.5
    kill -0 "$program_pid" 2>/dev/null && windows_named TurnKeeper | grep -qx "$main_window"
}

for method in wmctrl alt+F4 WM_DELETE_WINDOW; do
    fresh_home
    write_conf '[Settings]\nMaxTime=3\n'
    if ! start_program; then
        fail "$method: the window maps"
        kill_program
        continue
    fi
    # Ready: the window stays, and Start still starts a countdown that runs out.
    close_by "$method" "$main_window"
    if still_there; then pass "$method in Ready: the window stays"; else fail "$method in Ready: the window stays"; fi
    start_stop
    sleep 0.5
    # Running: the window stays and the countdown reaches its end all the same.
    close_by "$method" "$main_window"
    if still_there && wait_above "$main_window" 5; then
        pass "$method while running: the window stays and the countdown goes on"
    else
        fail "$method while running: the window stays and the countdown goes on"
    fi
    # Time's up: the window stays on top, and the next turn starts and ends.
    close_by "$method" "$main_window"
    if still_there && is_above "$main_window" && start_stop &&
        wait_not_above "$main_window" 3 && wait_above "$main_window" 6; then
        pass "$method at time's up: the window stays and the next turn runs"
    else
        fail "$method at time's up: the window stays and the next turn runs"
    fi
    end_program
done

fi

# ------------------------------------------------------------ time's up on top
if wanted top; then

fresh_home
write_conf '[Settings]\nMaxTime=2\n'
if start_program; then
    before=$(geometry "$main_window")
    start_stop
    # Another window takes the focus while the turn runs.
    xmessage -name other -title other "another program" >/dev/null 2>&1 &
    other_pid=$!
    other=$(wait_window other 5) && focus "$other"
    if wait_above "$main_window" 5; then
        sleep 0.3
        after=$(geometry "$main_window")
        active=$(active_window)
        same=$(windows_named TurnKeeper | head -n 1)
        if [ "$before" = "$after" ] && [ "$same" = "$main_window" ] &&
            [ "$active" = "$main_window" ]; then
            pass "time's up: above, same window, same place and size, active"
        else
            fail "time's up: above, same window, same place and size, active" \
                "geometry '$before' -> '$after', window $main_window -> $same, active $active"
        fi
        if start_stop && wait_not_above "$main_window" 3; then
            pass "the next Start takes the window off the top"
        else
            fail "the next Start takes the window off the top"
        fi
    else
        fail "time's up: above, same window, same place and size, active" "never above"
    fi
    kill "$other_pid" 2>/dev/null
    wait "$other_pid" 2>/dev/null
    end_program
else
    fail "time's up: the window maps"
    kill_program
fi

# A message that the timer length dialog gives before it shows (a stored length under a
# minute) stands above the main window, which stays on top after a time's up.
fresh_home
write_conf '[Settings]\nMaxTime=2\n'
if start_program; then
    problems=
    start_stop
    wait_above "$main_window" 8 || problems+="no time's up; "
    focus "$main_window" && keys alt+t Up Up Return
    if answer_prompt playfairly && box=$(wait_window TurnKeeper 5 "$main_window"); then
        stacked_above "$box" "$main_window" || problems+="the message is under the main window; "
        focus "$box" && keys Return
        if dialog=$(wait_window "Set TurnKeeper Timer" 5); then
            close_window "$dialog"
            wait_no_window "Set TurnKeeper Timer" 5
        else
            problems+="no timer length dialog; "
        fi
    else
        problems+="no message about the length; "
    fi
    end_program
    verdict "a message before the timer length dialog shows stands above the main window" "$problems"
else
    fail "message above the main window: the window maps"
    kill_program
fi

fi

# ----------------------------------------------------------------- being ended
if wanted signals; then

# A length with a fraction comes back whole only from a file the program really saved.
for signal in TERM HUP INT; do
    fresh_home
    write_conf '[Settings]\nMaxTime=90.4\n'
    if start_program; then
        start_stop
        sleep 0.3
        kill -"$signal" "$program_pid"
        wait_exit 10 || exit_status=timeout
        if [ "$exit_status" = 0 ] && [ "$(saved_max_time)" = 90 ]; then
            pass "SIG$signal while running: length saved, exit status 0"
        else
            fail "SIG$signal while running: length saved, exit status 0" \
                "status $exit_status, MaxTime=$(saved_max_time)"
        fi
    else
        fail "SIG$signal: the window maps"
        kill_program
    fi
done

fi

# ------------------------------------------------------ settings written by hand
if wanted files; then

# max_time_case <stored text> <length expected>
max_time_case() {
    fresh_home
    write_conf "[Settings]\nMaxTime=$1\n"
    if ! start_program; then
        fail "MaxTime='$1': the window maps"
        kill_program
        return
    fi
    end_program
    if [ "$exit_status" = 0 ] && [ "$(saved_max_time)" = "$2" ]; then
        pass "MaxTime='$1': starts, length $2"
    else
        fail "MaxTime='$1': starts, length $2" "status $exit_status, saved '$(saved_max_time)'"
    fi
}
max_time_case '' 600
max_time_case abc 600
max_time_case 600.5 600
max_time_case 1,5 600
max_time_case 0x258 600
max_time_case 0 600
max_time_case -5 600
max_time_case 2147483648 600
max_time_case 4294967896 600
max_time_case 99999999999 600
max_time_case ' 600 ' 600
max_time_case +300 300
max_time_case 2147483647 2147483647

# file_case <description> <file contents> <password expected> <length expected>:
# the program starts, refuses an empty password, accepts the one expected, and keeps
# the length expected.
file_case() {
    local what=$1 contents=$2 password=$3 length=$4 problems=
    fresh_home
    if [ "$contents" = FOLDER ]; then
        mkdir -p "$conf"
    else
        write_conf "$contents"
    fi
    if ! start_program; then
        fail "$what: the window maps"
        kill_program
        return
    fi
    empty_password_refused || problems+="an empty password was accepted; "
    if [ "$password" != - ]; then
        password_accepted "$password" || problems+="'$password' was refused; "
    fi
    end_program
    [ "$exit_status" = 0 ] || problems+="exit status $exit_status; "
    if [ "$contents" != FOLDER ] && [ "$(saved_max_time)" != "$length" ]; then
        problems+="saved length '$(saved_max_time)'; "
    fi
    verdict "$what: starts, no empty password, password '$password', length $length" "$problems"
}
file_case "unquoted password with a comma" '[Settings]\nPassword=a,b\nMaxTime=90\n' a,b 90
file_case "password @Variant(garbage)" '[Settings]\nPassword=@Variant(garbage)\nMaxTime=90\n' \
    playfairly 90
# These two read as texts no keyboard gives (a replacement character, a line end);
# what matters is that they are not empty.
file_case "password with invalid UTF-8" '[Settings]\nMaxTime=90\nPassword=p\xffw\n' - 90
file_case "password with an unterminated quote" '[Settings]\nMaxTime=90\nPassword="abc\n' - 90
file_case "lowercase [settings] group" '[settings]\nPassword=secret\nMaxTime=90\n' playfairly 600
file_case "empty file" '' playfairly 600
file_case "a folder where the file should be" FOLDER playfairly 600
file_case "garbage lines" 'garbage\n[Settings]\n=====\nMaxTime=90\n\x01\x02 junk ]]\nPassword=secret\n[\n' \
    secret 90

fi

# ------------------------------------------------------- a store that cannot be written
if wanted store; then

# leave_by_exit: Parents > Exit; any message about the length not being saved is
# answered with OK. Sets exit_status (timeout when the program did not end in 10 s).
leave_by_exit() {
    local box
    focus "$main_window" && keys alt+r e
    for _ in $(seq 50); do
        kill -0 "$program_pid" 2>/dev/null || break
        for box in $(windows_named TurnKeeper); do
            [ "$box" != "$main_window" ] && focus "$box" && keys Return
        done
        sleep 0.2
    done
    wait_exit 2 || exit_status=timeout
}

# unwritable_case <description> <new password> [runner...]: the settings folder has
# been prepared so that no save can succeed. A password change must say so, the old
# password must keep working and Exit must still end the program.
unwritable_case() {
    local what=$1 new=$2 box problems=
    shift 2
    if ! start_program "$@"; then
        fail "$what: the window maps"
        kill_program
        return
    fi
    if open_password_change playfairly && fill_password_change "$new"; then
        if box=$(wait_window TurnKeeper 5 "$main_window"); then
            focus "$box" && keys Return
            wait_no_window TurnKeeper 3 "$main_window"
        else
            problems+="no message about the failed change; "
        fi
        windows_named "Modify Security Settings" | grep -q . && close_window "$change_window"
        wait_no_window "Modify Security Settings" 3
    else
        problems+="the password change window did not open; "
    fi
    kill -0 "$program_pid" 2>/dev/null || problems+="the program died; "
    if [ -z "$problems" ]; then
        password_accepted playfairly || problems+="the old password no longer works; "
        password_accepted "$new" && problems+="the new password works; "
        leave_by_exit
        [ "$exit_status" = 0 ] || problems+="Exit gave status $exit_status; "
    fi
    kill_program
    verdict "$what: the change says so, the old password works, Exit ends with 0" "$problems"
}

# A read-only settings folder, for a user whom permissions bind.
fresh_home
write_conf '[Settings]\nMaxTime=90\n'
chown -R nobody "$HOME"
chmod 555 "$conf_dir"
if [ "$(id -u)" = 0 ]; then
    unwritable_case "read-only settings folder (as nobody)" newsecret runuser -u nobody --
else
    unwritable_case "read-only settings folder" newsecret
fi

# ~/.config is a plain file.
fresh_home
printf 'not a folder\n' >"$XDG_CONFIG_HOME"
unwritable_case "~/.config is a plain file" newsecret

# A file-size limit that cuts the write short: the file is near the limit already.
fresh_home
write_conf "[Settings]\nMaxTime=90\n[Other]\nFiller=$(printf '%0900d' 0)\n"
long=$(printf 'n%.0s' $(seq 150))
unwritable_case "a file-size limit cuts the save short" "$long" bash -c 'ulimit -f 1 && exec "$@"' limit
if [ "$(sed -n 's/^Password=//p' "$conf")" != "" ]; then
    fail "the file-size limit left a password in the file: $(head -c 80 "$conf")"
fi
fi

# ---------------------------------------------------------- a megabyte pasted
if wanted paste; then
# clipboard <file>: puts the file's text on the clipboard, served until the next call.
clipboard() {
    [ -n "$clip_pid" ] && kill "$clip_pid" 2>/dev/null && wait "$clip_pid" 2>/dev/null
    xclip -quiet -selection clipboard -i "$1" >/dev/null 2>&1 &
    clip_pid=$!
    sleep 0.3
}

# click_at <window> <x> <y>: a click at a place in the window, in pixels.
click_at() {
    timeout 5 xdotool mousemove --window "$1" "$2" "$3" click 1
}

megabyte="$work/megabyte.txt"
head -c 1000000 /dev/zero | tr '\0' 'x' >"$megabyte"
digits="$work/digits.txt"
head -c 1000000 /dev/zero | tr '\0' '7' >"$digits"

# The password prompt: the countdown goes on behind it, the pasted text is refused
# like any wrong password, and the prompt and the program still answer.
fresh_home
write_conf '[Settings]\nMaxTime=4\n'
clipboard "$megabyte"
if start_program; then
    problems=
    start_stop
    focus "$main_window" && keys alt+r s
    if prompt=$(wait_window "TurnKeeper Security" 5); then
        focus "$prompt" && keys ctrl+v Return
        if box=$(wait_window "TurnKeeper Login" 15); then
            focus "$box" && keys Return
        else
            problems+="no \"Login Failed\" message; "
        fi
        wait_above "$main_window" 8 || problems+="the countdown did not reach its end; "
        focus "$prompt" && keys Escape
        wait_no_window "TurnKeeper Security" 5 || problems+="the prompt does not close; "
    else
        problems+="no password prompt; "
    fi
    end_program
    [ "$exit_status" = 0 ] || problems+="SIGTERM gave status $exit_status; "
    verdict "a megabyte pasted at the password prompt: refused, the countdown goes on" "$problems"
else
    fail "paste at the prompt: the window maps"
    kill_program
fi

# The password change: a megabyte in both boxes is the new password, whole, and the
# next prompt accepts it from the clipboard.
fresh_home
clipboard "$megabyte"
if start_program; then
    problems=
    if open_password_change playfairly; then
        focus "$change_window" && keys Tab ctrl+v Tab ctrl+v Tab Tab space
        wait_no_window "Modify Security Settings" 20 || problems+="the change window stays; "
        stored=$(awk 'sub(/^Password=/, "") { print (/^x*$/ ? "" : "other ") length($0) }' "$conf")
        [ "$stored" = 1000000 ] || problems+="stored password: ${stored:-none} characters; "
        focus "$main_window" && keys alt+r s
        if prompt=$(wait_window "TurnKeeper Security" 5); then
            focus "$prompt" && keys ctrl+v Return
            if change_window=$(wait_window "Modify Security Settings" 20); then
                close_window "$change_window"
                wait_no_window "Modify Security Settings" 5
            else
                problems+="the pasted password is refused at the next prompt; "
            fi
        else
            problems+="no password prompt; "
        fi
    else
        problems+="the password change window did not open; "
    fi
    end_program
    [ "$exit_status" = 0 ] || problems+="SIGTERM gave status $exit_status; "
    verdict "a megabyte pasted as the new password: stored whole, accepted next time" "$problems"
else
    fail "paste as the new password: the window maps"
    kill_program
fi

# The timer length: Ctrl+V is a refused character; Shift+Insert pastes a megabyte of
# digits, which is too long a length and becomes 3600 minutes.
fresh_home
clipboard "$digits"
if start_program; then
    problems=
    focus "$main_window" && keys alt+t Up Up Return
    if answer_prompt playfairly && dialog=$(wait_window "Set TurnKeeper Timer" 5); then
        # Text1 lies at 3000, 240 twips, 855 by 435: its middle is at 228, 30 pixels.
        focus "$dialog" && click_at "$dialog" 228 30 && keys End ctrl+v
        if box=$(wait_window TurnKeeper 5 "$main_window"); then
            focus "$box" && keys Return
            wait_no_window TurnKeeper 3 "$main_window"
        else
            problems+="Ctrl+V gave no message; "
        fi
        focus "$dialog" && keys shift+Insert
        if box=$(wait_window TurnKeeper 15 "$main_window"); then
            focus "$box" && keys Return
            wait_no_window TurnKeeper 3 "$main_window"
        else
            problems+="the pasted length gave no message; "
        fi
        # OK lies at 2280, 1200 twips, 735 by 375: its middle is at 176, 92 pixels.
        focus "$dialog" && click_at "$dialog" 176 92
        wait_no_window "Set TurnKeeper Timer" 5 || problems+="OK does not close the dialog; "
    else
        problems+="the timer length dialog did not open; "
    fi
    end_program
    [ "$exit_status" = 0 ] || problems+="SIGTERM gave status $exit_status; "
    [ "$(saved_max_time)" = 216000 ] || problems+="saved length '$(saved_max_time)'; "
    verdict "a megabyte of digits pasted as the length: 3600 minutes after the message" "$problems"
else
    fail "paste as the length: the window maps"
    kill_program
fi
fi

# ------------------------------------------------------- dodging the time's up
if wanted dodge; then

# dodge <how>: what a child does to the main window while its turn runs.
dodge() {
    case $1 in
    minimise) timeout 5 xdotool windowminimize "$main_window" ;;
    workspace)
        timeout 5 wmctrl -i -r "$main_window" -t 1 && timeout 5 wmctrl -s 0 ;;
    fullscreen)
        xmessage -name game -title game "a game" >/dev/null 2>&1 &
        other_pid=$!
        other=$(wait_window game 5) &&
            timeout 5 wmctrl -i -r "$other" -b add,fullscreen && focus "$other" ;;
    esac
}

# dodged <how>: the dodge has taken effect: the window is on another workspace, or the
# game has the whole screen and the keyboard. (A minimised window comes back at once.)
dodged() {
    case $1 in
    minimise) true ;;
    workspace) [ "$(desktop_of "$main_window")" = 1 ] && [ "$(current_desktop)" = 0 ] ;;
    fullscreen) xprop -id "$other" _NET_WM_STATE 2>/dev/null | grep -q FULLSCREEN &&
        [ "$(active_window)" = "$other" ] ;;
    esac
}

for how in minimise workspace fullscreen; do
    fresh_home
    write_conf '[Settings]\nMaxTime=8\n'
    other_pid=
    if ! start_program; then
        fail "$how before the alarm: the window maps"
        kill_program
        continue
    fi
    problems=
    before=$(geometry "$main_window")
    start_stop && dodge "$how"
    sleep 0.5
    dodged "$how" || problems+="the dodge did not take; "
    if wait_above "$main_window" 20; then
        sleep 0.5
        problems+=$(time_up_problems "$main_window")
        [ "$(geometry "$main_window")" = "$before" ] ||
            problems+="moved from '$before' to '$(geometry "$main_window")'; "
    else
        problems+="never above; "
    fi
    [ -n "$other_pid" ] && kill "$other_pid" 2>/dev/null && wait "$other_pid" 2>/dev/null
    end_program
    verdict "$how before the alarm: at time's up the window is seen, above and active, in place" "$problems"
done

# A window minimised while its turn runs comes back at once.
fresh_home
write_conf '[Settings]\nMaxTime=600\n'
if start_program; then
    problems=
    start_stop
    sleep 0.5
    dodge minimise
    back=
    for _ in $(seq 50); do
        sleep 0.1
        viewable "$main_window" && back=1 && break
    done
    [ -n "$back" ] || problems+="it stays minimised; "
    [ "$(colour_beside_face "$main_window")" = "#00FF00" ] || problems+="not green; "
    end_program
    verdict "minimised while running: the window comes back at once" "$problems"
else
    fail "minimised while running: the window maps"
    kill_program
fi

fi

# ------------------------------------------------ the time's up holds its place
if wanted hold; then

# hold_dodge <how>: what a child does to the window once its time is up.
hold_dodge() {
    case $1 in
    unmap) timeout 5 xdotool windowunmap "$main_window" ;;
    close) timeout 5 xdotool windowclose "$main_window" ;;
    "move off the screen") timeout 5 xdotool windowmove "$main_window" 3000 3000 ;;
    "lower below") timeout 5 wmctrl -i -r "$main_window" -b add,below ;;
    "show desktop") timeout 5 wmctrl -k on ;;
    esac
}

# on_screen <window>: the whole window lies on the 1280x1024 screen.
on_screen() {
    local x y w h
    read -r x y w h < <(xwininfo -id "$1" 2>/dev/null | awk '
        /Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { y = $NF }
        /Width:/ { w = $NF } /Height:/ { h = $NF } END { print x, y, w, h }')
    [ -n "$h" ] && [ "$x" -ge 0 ] && [ "$y" -ge 0 ] && [ $((x + w)) -le 1280 ] &&
        [ $((y + h)) -le 1024 ]
}

# on_top <window>: the window manager stacks it above every other window.
on_top() {
    local last
    last=$(xprop -root _NET_CLIENT_LIST_STACKING 2>/dev/null | sed 's/.*# //; s/.*, //')
    [ -n "$last" ] && [ $((last)) = "$1" ]
}

for how in unmap close "move off the screen" "lower below" "show desktop"; do
    fresh_home
    write_conf '[Settings]\nMaxTime=2\n'
    if ! start_program; then
        fail "$how at time's up: the window maps"
        kill_program
        continue
    fi
    problems=
    start_stop
    if wait_above "$main_window" 10; then
        sleep 0.3
        hold_dodge "$how"
        back=
        # Back within a second or two; a busy machine is given longer. A window closed
        # from outside comes back as a new one.
        for _ in $(seq 100); do
            sleep 0.1
            for id in $(windows_named TurnKeeper); do
                viewable "$id" && is_above "$id" && on_screen "$id" && on_top "$id" && back=$id
            done
            [ -n "$back" ] && break
        done
        if [ -z "$back" ]; then
            problems+="not back: $(time_up_problems "$main_window") on screen: $(on_screen "$main_window" && echo yes || echo no), on top: $(on_top "$main_window" && echo yes || echo no); "
        else
            [ "$(colour_beside_face "$back")" = "#FF0000" ] || problems+="not red when back; "
        fi
        kill -0 "$program_pid" 2>/dev/null || problems+="the program ended; "
    else
        problems+="no time's up; "
    fi
    timeout 5 wmctrl -k off
    end_program
    verdict "$how at time's up: back, viewable, above and on the screen" "$problems"
done

fi

# ------------------------------------------- what a child on the account tries
if wanted child; then

# locked: the command that runs what follows it with the administrator's lock file
# (/etc/xdg/TurnKeeper/TurnKeeper.conf) holding lock_text, in a mount namespace of its
# own, so that the machine's /etc is left alone.
lock_text=
locked() {
    printf '%b' "$lock_text" >"$case_dir/lock.conf"
    lock_command=(unshare -m --propagation private sh -c 'mount -t tmpfs none /etc/xdg &&
        mkdir /etc/xdg/TurnKeeper && cp "$0" /etc/xdg/TurnKeeper/TurnKeeper.conf &&
        exec "$@"' "$case_dir/lock.conf")
}

# record_turn <length> <Started>: a running turn written into the settings by hand.
record_turn() {
    write_conf "[Settings]\nMaxTime=${3:-30}\n[Turn]\nLength=$1\nStarted=$2\n"
}


unshare -m true 2>/dev/null && can_lock=1 || can_lock=
child_case() {
    local what=$1 problems= started took first second status copy
    fresh_home
    lock_text=
    case $what in
    "stopped 20 s mid-turn")
        write_conf '[Settings]\nMaxTime=30\n'
        start_program || { fail "$what: the window maps"; return; }
        start_stop
        started=$(date +%s)
        sleep 3
        kill -STOP "$program_pid"
        sleep 20
        kill -CONT "$program_pid"
        # Due 30 s after Start; a busy machine may be a few seconds late, never 20.
        if ! wait_above "$main_window" 40; then
            problems+="no time's up; "
        else
            took=$(($(date +%s) - started))
            [ "$took" -le 38 ] || problems+="the alarm came $took s after Start, not 30; "
            [ "$took" -ge 29 ] || problems+="the alarm came early, $took s after Start; "
        fi
        ;;
    "a future Started, restarted twice")
        record_turn 30 "$(date -u -d tomorrow +%Y-%m-%dT%H:%M:%SZ)"
        start_program || { fail "$what: the window maps"; return; }
        sleep 1
        end_program
        first=$(turn_started)
        [ "$first" -le "$(date +%s)" ] || problems+="the record still starts in the future; "
        sleep 2
        start_program || { fail "$what: the window maps again"; return; }
        sleep 0.5
        second=$(turn_started)
        [ "$second" = "$first" ] || problems+="the second start began afresh ($first, then $second); "
        [ "$(colour_beside_face "$main_window")" = "#00FF00" ] || problems+="not running; "
        ;;
    "Length=7200 under a one-minute lock")
        lock_text='[Settings]\nLocked=true\nMaxTime=60\n'
        record_turn 7200 "$(date -u -d '55 seconds ago' +%Y-%m-%dT%H:%M:%SZ)" 60
        locked
        start_program "${lock_command[@]}" || { fail "$what: the window maps"; return; }
        wait_above "$main_window" 30 || problems+="the turn did not end at the locked length; "
        ;;
    "XDG_CONFIG_DIRS elsewhere under a lock")
        lock_text='[Settings]\nLocked=true\nMaxTime=60\n'
        write_conf '[Settings]\nMaxTime=3\n'
        locked
        XDG_CONFIG_DIRS="relative/folder:$case_dir/elsewhere" start_program "${lock_command[@]}" ||
            { fail "$what: the window maps"; return; }
        start_stop
        sleep 6
        is_above "$main_window" && problems+="the user's 3 s applied, not the lock's minute; "
        ;;
    "a renamed copy in another folder under a lock")
        lock_text='[Settings]\nLocked=true\nMaxTime=60\n'
        copy="$case_dir/games/Game"
        mkdir -p "$(dirname "$copy")"
        cp "$program" "$copy"
        chmod -R a+rX "$case_dir/games"
        mkdir -p "$XDG_CONFIG_HOME/Game"
        printf '[Settings]\nMaxTime=3\n' >"$XDG_CONFIG_HOME/Game/Game.conf"
        locked
        program=$copy start_program "${lock_command[@]}" || { fail "$what: the window maps"; return; }
        start_stop
        sleep 6
        is_above "$main_window" && problems+="the copy's own 3 s applied, not the lock's minute; "
        ;;
    "a silent horn.wav in the start folder under a lock")
        lock_text='[Settings]\nLocked=true\nMaxTime=60\n'
        if ! start_pulse "$case_dir/pulse"; then
            fail "$what: a sound server of the test's own starts"
            return
        fi
        parec -d turnkeeper.monitor --raw --format=s16le --rate=44100 --channels=1 \
            >"$case_dir/heard.raw" 2>/dev/null &
        record_pid=$!
        mkdir -p "$case_dir/start"
        "$python" -c 'import sys, wave
w = wave.open(sys.argv[1], "wb"); w.setnchannels(1); w.setsampwidth(2); w.setframerate(44100)
w.writeframes(bytes(2 * 44100)); w.close()' "$case_dir/start/horn.wav"
        record_turn 60 "$(date -u -d '58 seconds ago' +%Y-%m-%dT%H:%M:%SZ)" 60
        locked
        (cd "$case_dir/start" && exec "${lock_command[@]}" env HOME="$HOME" \
            XDG_CONFIG_HOME="$XDG_CONFIG_HOME" DISPLAY="$DISPLAY" QT_QPA_PLATFORM=xcb \
            "$program") >>"$log" 2>&1 &
        program_pid=$!
        main_window=$(wait_window TurnKeeper 10) || problems+="the window does not map; "
        heard=0
        for _ in $(seq 300); do
            sleep 0.1
            heard=$(loudest "$case_dir/heard.raw")
            [ "$heard" -gt 1000 ] && break
        done
        [ "$heard" -gt 1000 ] || problems+="the horn is not heard (loudest sample $heard); "
        kill "$record_pid" "$pulse_pid" 2>/dev/null
        wait "$record_pid" "$pulse_pid" 2>/dev/null
        unset PULSE_SERVER
        ;;
    "a second start")
        dbus_address=$(dbus-daemon --session --fork --print-address=1 --print-pid=2 2>"$case_dir/bus.pid")
        write_conf '[Settings]\nMaxTime=600\n'
        DBUS_SESSION_BUS_ADDRESS=$dbus_address start_program ||
            { fail "$what: the window maps"; return; }
        xmessage -name other -title other "another program" >/dev/null 2>&1 &
        other_pid=$!
        other=$(wait_window other 5) && focus "$other"
        (cd "$program_dir" && exec env DBUS_SESSION_BUS_ADDRESS="$dbus_address" \
            HOME="$HOME" XDG_CONFIG_HOME="$XDG_CONFIG_HOME" DISPLAY="$DISPLAY" \
            QT_QPA_PLATFORM=xcb "$program") >>"$log" 2>&1 &
        second=$!
        status=
        for _ in $(seq 100); do
            kill -0 "$second" 2>/dev/null || { wait "$second"; status=$?; break; }
            sleep 0.1
        done
        [ "$status" = 0 ] || problems+="the second start did not end with 0 (${status:-still running}); "
        [ -z "$status" ] && kill -KILL "$second" 2>/dev/null
        [ "$(windows_named TurnKeeper | wc -l)" = 1 ] || problems+="$(windows_named TurnKeeper | wc -l) windows; "
        for _ in $(seq 50); do
            [ "$(active_window)" = "$main_window" ] && break
            sleep 0.1
        done
        [ "$(active_window)" = "$main_window" ] || problems+="the first window did not come forward; "
        kill "$other_pid" 2>/dev/null
        wait "$other_pid" 2>/dev/null
        kill "$(cat "$case_dir/bus.pid")" 2>/dev/null
        ;;
    esac
    end_program
    verdict "$what: the dodge fails" "$problems"
}

for what in "stopped 20 s mid-turn" "a future Started, restarted twice" "a second start"; do
    child_case "$what"
done
for what in "Length=7200 under a one-minute lock" "XDG_CONFIG_DIRS elsewhere under a lock" \
    "a renamed copy in another folder under a lock" \
    "a silent horn.wav in the start folder under a lock"; do
    if [ -n "$can_lock" ]; then
        child_case "$what"
    else
        fail "$what: a mount namespace for the administrator's lock (unshare -m, as root)"
    fi
done

fi

# ------------------------------------------------- a turn that outlives the program
if wanted resume; then


# resume_case <description> <how> <state expected>: a turn is left behind (by a
# SIGKILL, or written by hand) and the program started again.
#   how: kill-running (killed 3 s into a 30 s turn), kill-ended (killed 1 s into a 3 s
#   turn, started again after its end), or "record:<Started>" with Length=30.
resume_case() {
    local what=$1 how=$2 expected=$3 problems= restarted now filled count colour
    fresh_home
    write_conf '[Settings]\nMaxTime=30\n'
    case $how in
    kill-*)
        [ "$how" = kill-ended ] && write_conf '[Settings]\nMaxTime=3\n'
        if ! start_program; then
            fail "$what: the window maps"
            kill_program
            return
        fi
        start_stop
        if [ "$how" = kill-ended ]; then
            sleep 1
            kill_program
            sleep 3
        else
            sleep 3
            kill_program
        fi
        ;;
    record:*)
        write_conf "[Settings]\nMaxTime=30\n[Turn]\nLength=30\nStarted=${how#record:}\n" ;;
    esac
    restarted=$(date +%s)
    if ! start_program; then
        fail "$what: the window maps again"
        kill_program
        return
    fi
    sleep 0.5
    colour=$(colour_beside_face "$main_window")
    case $expected in
    Running)
        [ "$colour" = "#00FF00" ] || problems+="the screen shows $colour, not green; "
        is_above "$main_window" && problems+="above; "
        # The count is where the clock says: from the bar's fill, between the time gone
        # at the new start and the time gone now, give or take a second.
        filled=$(bar_filled "$main_window")
        now=$(date +%s)
        started=$(turn_started)
        [ "$started" -gt "$now" ] && started=$now
        count=$((filled * 30 / 207))
        if [ "$count" -lt $((restarted - started - 1)) ] || [ "$count" -gt $((now - started + 1)) ]; then
            problems+="the bar shows about $count s gone, the clock $((restarted - started)) to $((now - started)) s; "
        fi
        ;;
    TimeUp)
        wait_above "$main_window" 10 || problems+="not above; "
        colour=$(colour_beside_face "$main_window")
        [ "$colour" = "#FF0000" ] || problems+="the screen shows $colour, not red; "
        ;;
    Ready)
        [ "$colour" != "#00FF00" ] && [ "$colour" != "#FF0000" ] ||
            problems+="the screen shows $colour; "
        grep -q '^\[Turn\]' "$conf" && problems+="the record is kept; "
        ;;
    esac
    end_program
    verdict "$what: opens $expected" "$problems"
}
resume_case "SIGKILL 3 s into a turn, started again" kill-running Running
resume_case "SIGKILL, started again after the turn's end" kill-ended TimeUp
resume_case "a turn recorded as started tomorrow (a clock set back)" \
    "record:$(date -u -d tomorrow +%Y-%m-%dT%H:%M:%SZ)" Running
resume_case "a turn recorded a day ago" "record:$(date -u -d yesterday +%Y-%m-%dT%H:%M:%SZ)" Ready
resume_case "a record of garbage" "record:soon, I promise" Ready

fi

# ------------------------------------------------------ logging out of a session
if wanted logout; then
# xfce4-session starts the program as the one client of its session; a wrapper
# notes the session's bus address and the program's exit status.
fresh_home
write_conf '[Settings]\nMaxTime=90.4\n'
session_conf="$XDG_CONFIG_HOME/xfce4/xfconf/xfce-perchannel-xml"
mkdir -p "$session_conf"
client="$case_dir/client.sh"
cat >"$client" <<CLIENT
#!/bin/bash
printf '%s\n' "\$DBUS_SESSION_BUS_ADDRESS" >"$case_dir/bus.tmp"
mv "$case_dir/bus.tmp" "$case_dir/bus"
printf '%s\n' "\${SESSION_MANAGER:-}" >"$case_dir/session_manager"
cd "$program_dir" && QT_QPA_PLATFORM=xcb "$program" >>"$log" 2>&1
echo \$? >"$case_dir/status"
CLIENT
chmod +x "$client"
sed "s|@CLIENT@|$client|" "$here/xfce4-session.xml" >"$session_conf/xfce4-session.xml"
timeout 60 dbus-run-session -- xfce4-session >"$case_dir/session.log" 2>&1 &
session_pid=$!
problems=
if main_window=$(wait_window TurnKeeper 15) && [ -s "$case_dir/bus" ]; then
    [ -s "$case_dir/session_manager" ] || problems+="the program was given no session manager; "
    start_stop
    sleep 0.5
    DBUS_SESSION_BUS_ADDRESS=$(cat "$case_dir/bus") timeout 10 xfce4-session-logout --logout --fast ||
        problems+="xfce4-session-logout failed; "
    for _ in $(seq 100); do
        [ -s "$case_dir/status" ] && break
        sleep 0.1
    done
    status=$(cat "$case_dir/status" 2>/dev/null)
    [ "$status" = 0 ] || problems+="exit status '${status:-none}'; "
    [ "$(saved_max_time)" = 90 ] || problems+="saved length '$(saved_max_time)'; "
    # The turn outlives the session: the next start takes it up.
    if start_program; then
        sleep 0.5
        [ "$(colour_beside_face "$main_window")" = "#00FF00" ] ||
            problems+="started again, it is not running; "
        end_program
    else
        problems+="the program did not start again; "
    fi
else
    problems+="the session did not start the program; "
fi
for _ in $(seq 100); do
    kill -0 "$session_pid" 2>/dev/null || break
    sleep 0.1
done
kill "$session_pid" 2>/dev/null
wait "$session_pid" 2>/dev/null
verdict "logout from an XSMP session while running: length saved, exit status 0, the turn goes on at the next start" "$problems"
fi

if [ -n "$kills_pid" ]; then
    wait "$kills_pid"
    grep -v '^\(PASS\|FAIL\): ' "$work/kills.out"
    while IFS= read -r line; do
        case $line in
        PASS:*) pass "${line#PASS: }" ;;
        FAIL:*) echo "$line"; failed=$((failed + 1)) ;;
        esac
    done <"$work/kills.out"
fi

summary
