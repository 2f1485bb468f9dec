#!/usr/bin/env bash
# The machinery the end-to-end scenarios share: the X server, the game, the pointer, screenshots
# and the best-score file. Sourced by run.sh, which sets hopla and scenario first.
work=$(mktemp -d "${TMPDIR:-/tmp}/hopla-e2e.XXXXXX")
xvfb_pid=
game_pid=
wm_pid=
winw=440
winh=400

cleanup() {
    # Whatever already ended, the rest still goes.
    set +e
    [ -n "$game_pid" ] && kill -KILL "$game_pid" 2>/dev/null # a game still running failed its test
    [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

skip() {
    echo "SKIP: $*"
    exit 77
}

fail() {
    echo "FAIL ($scenario): $*" >&2
    if [ -s "$work/game.err" ]; then
        echo "the game's stderr:" >&2
        cat "$work/game.err" >&2
    fi
    # Keep what a maintainer needs to see why, also when no window ever appeared: the game's
    # output, the X server's and the window manager's logs, the whole screen and its window
    # tree, and the screenshots of the window, as PNG.
    local keep="${TMPDIR:-/tmp}/hopla-e2e-failed-$scenario" raw
    rm -rf "$keep" && mkdir -p "$keep"
    cp "$work"/*.png "$work"/*.log "$work"/game.out "$work"/game.err "$keep"/ 2>/dev/null || true
    if [ -n "${DISPLAY:-}" ]; then
        timeout 10 import -window root "$keep/screen.png" 2>/dev/null || true
        timeout 10 xwininfo -root -tree >"$keep/windows.txt" 2>&1 || true
    fi
    for raw in "$work"/*.rgb; do
        [ -e "$raw" ] || continue
        convert -size "${winw}x$winh" -depth 8 "rgb:$raw" "$keep/$(basename "$raw" .rgb).png" 2>/dev/null || true
    done
    echo "screenshots and logs kept in $keep" >&2
    exit 1
}

note() { echo "-- $*"; }

# How long any wait may take, in seconds. Every wait polls for what it waits for and ends as
# soon as that has happened, so the limit only matters on a machine too loaded to run the game.
patience=${HOPLA_E2E_PATIENCE:-90}

# until_true SECONDS COMMAND...: runs COMMAND every 0.1 s until it succeeds; false after SECONDS.
until_true() {
    local limit=$((SECONDS + $1))
    shift
    until "$@"; do
        [ "$SECONDS" -lt "$limit" ] || return 1
        sleep 0.1
    done
}

# The best-score file of the game runs, kept in the scenario's own folder.
data="$work/data"
score_file="$data/hopla/hsd.dat"

# ---------------------------------------------------------------------------------------------
# The X server and the game.

# The virtual screen's size and depth, and further Xvfb options (such as -dpi), for a scenario
# to change before start_x.
xvfb_screen=1024x768x24
xvfb_args=()

start_x() {
    for tool in Xvfb xdotool import convert compare; do
        command -v "$tool" >/dev/null || skip "$tool is not installed (scripts/install-deps.sh brings it)"
    done
    # Xvfb picks a free display itself and names it on the descriptor it is given.
    Xvfb -displayfd 3 -screen 0 "$xvfb_screen" "${xvfb_args[@]}" -nolisten tcp 3>"$work/display" \
        >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    until_true "$patience" xvfb_ready || skip "Xvfb did not start within $patience s"
    export DISPLAY=":$(cat "$work/display")"
}

xvfb_ready() {
    [ -s "$work/display" ] && return 0
    kill -0 "$xvfb_pid" 2>/dev/null || skip "no X server could be started: $(tail -n 3 "$work/xvfb.log")"
    return 1
}

# What a scenario adds to the game's environment (NAME=VALUE words, which win over the ones
# start_game sets) and to its command line.
game_env=()
game_args=()

# Starts the game and waits for its window; sets win, winx, winy (the window's position).
start_game() {
    launch_game "${game_env[@]}"
    await_window
}

# Starts openbox and waits until it manages windows. On a loaded machine openbox sometimes
# fails to reach a display that has just opened; it is then started again.
start_openbox() {
    command -v openbox >/dev/null && command -v wmctrl >/dev/null ||
        skip "openbox and wmctrl are not installed: no window manager"
    command -v xmessage >/dev/null || skip "xmessage is not installed (x11-utils)"
    local limit=$((SECONDS + patience))
    wm_pid=
    until wmctrl -m >/dev/null 2>&1; do
        [ "$SECONDS" -lt "$limit" ] || fail "openbox did not start: $(cat "$work/openbox.log")"
        if [ -z "$wm_pid" ] || ! kill -0 "$wm_pid" 2>/dev/null; then
            openbox --sm-disable >"$work/openbox.log" 2>&1 &
            wm_pid=$!
        fi
        sleep 0.1
    done
    # wmctrl sees openbox as soon as it has claimed the screen, before it has read its settings,
    # theme and fonts: 0.2 s later, or 1.5 s on a first start that builds the font cache. A
    # window mapped meanwhile may never appear: openbox (3.6) goes on to wait for events with
    # that request unhandled, until some other event wakes it. So openbox is ready once it has
    # framed a window of ours, with a root property changed at each try to wake it.
    xmessage -name hopla-e2e-probe -title hopla-e2e-probe ready >/dev/null 2>&1 &
    local probe_pid=$!
    until_true "$patience" openbox_framed_probe ||
        fail "openbox did not frame a window within $patience s: $(cat "$work/openbox.log")"
    kill "$probe_pid"
    wait "$probe_pid" 2>/dev/null || true
}

openbox_framed_probe() {
    xprop -root -f _HOPLA_E2E_WAKE 32c -set _HOPLA_E2E_WAKE "$SECONDS"
    xdotool search --onlyvisible --name '^hopla-e2e-probe$' >/dev/null
}

# Openbox running, the game started and its ball at rest, the score's picture kept as score0.
game_resting_under_openbox() {
    start_x
    start_openbox
    start_game
    point_away
    wait_ball_rests rest
    crop rest score0 "$score_area"
}

# Reads the window's place into winx and winy; true when it is ($1, $2).
window_at() {
    eval "$(xdotool getwindowgeometry --shell "$win")"
    winx=$X
    winy=$Y
    [ "$winx" -eq "$1" ] && [ "$winy" -eq "$2" ]
}

# Under a window manager: drags the window by the top strip 50 pixels left and 50 down, and
# checks that it went there.
drag_top_strip() {
    local startx=$winx starty=$winy
    point 320 50
    wait_frames 2
    xdotool mousedown 1
    for _ in 1 2 3 4 5; do
        xdotool mousemove_relative -- -10 10
        sleep 0.1
    done
    xdotool mouseup 1
    point_away
    until_true "$patience" window_at $((startx - 50)) $((starty + 50)) ||
        fail "the window went from ($startx, $starty) to ($winx, $winy), not 50 left and 50 down"
}

game_ended() { ! kill -0 "$game_pid" 2>/dev/null; }

# Waits for the game to end; checks that it ended, with status 0.
expect_exit_0() { expect_exit_status 0 "$1"; }

# Holds ESC down until the game has ended, then lets it go.
escape_ends_game() {
    xdotool keydown Escape
    expect_exit_0 "$1"
    xdotool keyup Escape
}

expect_running() {
    wait_frames 2
    kill -0 "$game_pid" 2>/dev/null || fail "the game ended: $1"
}

# ---------------------------------------------------------------------------------------------
# The pointer, in client pixels of the 640 x 480 frame (the window shows (100, 40)-(540, 440),
# each frame pixel a scale x scale block of the window).

scale=1
point() { xdotool mousemove $((winx + ($1 - 100) * scale)) $((winy + ($2 - 40) * scale)); }
# Far outside the window, where the game's own pointer is not drawn.
point_away() { xdotool mousemove 0 0; }
click() {
    point "$1" "$2"
    wait_frames 2 # a frame finds the pointer there before the press
    xdotool click "$3"
}

# ---------------------------------------------------------------------------------------------
# Screenshots of the window as raw RGB (much faster to take than PNG), and parts of them as
# PNG, in window pixels.

shot() {
    import -window "$win" -depth 8 "rgb:$work/$1.rgb" 2>"$work/import.err" ||
        fail "no screenshot of the window: $(cat "$work/import.err")"
}

picture() { echo "-size ${winw}x$winh -depth 8 rgb:$work/$1.rgb"; }

# crop SHOT NAME WxH+X+Y: a part of an earlier screenshot.
crop() {
    # shellcheck disable=SC2046 # picture gives several words on purpose
    convert $(picture "$1") -crop "$3" +repage "$work/$2.png"
}

# How many pixels differ between two PNG pictures.
differing() { compare -metric AE "$work/$1.png" "$work/$2.png" null: 2>&1 || true; }

expect_same() {
    local count
    count=$(differing "$1" "$2")
    [ "$count" = 0 ] || fail "$3 ($1 and $2 differ in $count pixels)"
}

expect_different() {
    local count
    count=$(differing "$1" "$2")
    [ "$count" != 0 ] || fail "$3 ($1 and $2 are the same)"
}

# The box around the pixels that differ between two shots, as WxH+X+Y; 0x0+0+0 for none.
changed_box() {
    if cmp -s "$work/$1.rgb" "$work/$2.rgb"; then
        echo 0x0+0+0
        return
    fi
    # shellcheck disable=SC2046
    convert $(picture "$1") $(picture "$2") -compose difference -composite -threshold 0 \
        -format %@ info:
}

# Waits until the game has drawn at least $1 new frames. The ball always spins, so every
# frame changes the picture.
wait_frames() {
    local seen=0 limit=$((SECONDS + patience))
    shot frames.a
    while [ "$SECONDS" -lt "$limit" ]; do
        sleep 0.05
        shot frames.b
        if ! cmp -s "$work/frames.a.rgb" "$work/frames.b.rgb"; then
            seen=$((seen + 1))
            [ "$seen" -ge "$1" ] && return 0
            mv "$work/frames.b.rgb" "$work/frames.a.rgb"
        fi
    done
    fail "the game drew $seen of $1 new frames within $patience s"
}

# await_area NAME AREA REFERENCE same|different WHAT: takes screenshots until the AREA of the
# window looks the same as, or different from, the earlier crop REFERENCE; keeps the last as
# NAME. Fails saying WHAT when that has not happened within the wait.
await_area() {
    local name=$1 area=$2 reference=$3 want=$4 what=$5 limit=$((SECONDS + patience)) count
    while :; do
        shot "$name"
        crop "$name" "$name" "$area"
        count=$(differing "$reference" "$name")
        if [ "$want" = same ]; then
            [ "$count" = 0 ] && return 0
        else
            [ "$count" != 0 ] && return 0
        fi
        [ "$SECONDS" -lt "$limit" ] || fail "$what ($reference and $name: $count pixels differ)"
        sleep 0.1
    done
}

# Takes screenshots until the ball lies still: two changes in a row are the ball turning
# within the same small box. Leaves the last shot as $1 and the box of the ball at rest in
# rest_box.
wait_ball_rests() {
    local name=$1 previous= box i=0 limit=$((SECONDS + patience))
    shot "$name.0"
    while [ "$SECONDS" -lt "$limit" ]; do
        sleep 0.25
        i=$((i + 1))
        shot "$name.$i"
        box=$(changed_box "$name.$((i - 1))" "$name.$i")
        [ "$box" = 0x0+0+0 ] && continue # no new frame yet
        if [ -n "$previous" ] && small_and_near "$previous" "$box"; then
            cp "$work/$name.$i.rgb" "$work/$name.rgb"
            rest_box=$box
            return 0
        fi
        previous=$box
    done
    fail "the ball did not come to rest within $patience s"
}

# Both boxes at most 90 pixels wide and high (the ball is 75) at scale 1, within 3 pixels of
# each other.
small_and_near() {
    local re='^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$' a b
    [[ $1 =~ $re ]] || return 1
    a=("${BASH_REMATCH[@]:1}")
    [[ $2 =~ $re ]] || return 1
    b=("${BASH_REMATCH[@]:1}")
    local most=$((90 * scale))
    [ "${a[0]}" -le $most ] && [ "${a[1]}" -le $most ] && [ "${b[0]}" -le $most ] && [ "${b[1]}" -le $most ] ||
        return 1
    for k in 0 1 2 3; do
        local d=$((a[k] - b[k]))
        [ "${d#-}" -le 3 ] || return 1
    done
}

# Waits for the ball to rest (see wait_ball_rests) and checks that it lies on the floor, around
# (320, 372): it starts in the middle of the box, around y 232, so this shows it fell.
ball_falls_to_rest() {
    wait_ball_rests rest
    read -r ball_x ball_y <<<"$(box_centre_client "$rest_box")"
    [ "$ball_x" -ge 316 ] && [ "$ball_x" -le 324 ] && [ "$ball_y" -ge 362 ] && [ "$ball_y" -le 382 ] ||
        fail "the ball rests around ($ball_x, $ball_y), not (320, 372)"
}

# The centre of a box in window pixels, turned into client pixels: "x y".
box_centre_client() {
    local re='^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$'
    [[ $1 =~ $re ]] || fail "not a box: $1"
    echo $((BASH_REMATCH[3] + BASH_REMATCH[1] / 2 + 100)) $((BASH_REMATCH[4] + BASH_REMATCH[2] / 2 + 40))
}

# Where the numbers are drawn, in window pixels.
score_area=80x22+362+44
best_area=72x22+76+44
fps_area=72x22+30+350

# ---------------------------------------------------------------------------------------------
# The best-score file: a scrambled decimal number, a zero byte and padding, 16 bytes in all.

stored_text() { # the file's text for best score $1, with zero bytes up to 16
    local number=$(((($1 * 131072 + 0x4B1D2E73) + 0x80000000) % 0x100000000 - 0x80000000))
    printf '%s' "$number"
    head -c $((16 - ${#number})) /dev/zero
}

expect_file_holds_best() {
    [ -f "$score_file" ] || fail "no best-score file was written"
    stored_text "$1" >"$work/expected.dat"
    cmp -s "$score_file" "$work/expected.dat" ||
        fail "the best-score file holds $(od -c "$score_file" | head -n 2), not best score $1"
}

write_file_for_best() {
    mkdir -p "$data/hopla"
    stored_text "$1" >"$score_file"
}

# ---------------------------------------------------------------------------------------------
# Games started otherwise than by start_game: with other settings, or other descriptors.

# launch_game [NAME=VALUE...]: starts the game in the background as start_game does, with these
# settings added to its environment (later ones win), and sets game_pid; does not wait.
launch_game() {
    env -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER SDL_AUDIODRIVER=dummy XDG_DATA_HOME="$data" "$@" \
        "$hopla" "${game_args[@]}" >"$work/game.out" 2>"$work/game.err" &
    game_pid=$!
}

# Waits for the game's window; sets win, winx, winy (the window's position).
await_window() {
    win=$(timeout "$patience" xdotool search --sync --onlyvisible --name '^Hopla-Game$' | head -n 1) ||
        fail "the game's window did not appear"
    eval "$(xdotool getwindowgeometry --shell "$win")"
    winx=$X
    winy=$Y
    winw=$WIDTH
    winh=$HEIGHT
    wait_frames 2
}

# Expects the game to end by itself with status $1; $2 says after what.
expect_exit_status() {
    until_true "$patience" game_ended || fail "the game is still running after $patience s: $2"
    local status=0
    wait "$game_pid" || status=$?
    game_pid=
    [ "$status" -eq "$1" ] || fail "the game ended with status $status, not $1: $2"
}

# The id of a shown message box captioned $1, on stdout; false when there is none. SDL's boxes
# carry no class, so xdotool's search does not see them.
message_box() {
    local id
    id=$(xwininfo -root -tree | grep -F " \"$1\": " | awk '{print $1}' | head -n 1)
    [ -n "$id" ] && echo "$id"
}

# Waits for the message box captioned $1 and presses its OK button with the Return key.
dismiss_message_box() {
    local box
    until_true "$patience" message_box "$1" >/dev/null || fail "no message box '$1' appeared"
    box=$(message_box "$1")
    xdotool windowfocus "$box"
    xdotool key Return
}
