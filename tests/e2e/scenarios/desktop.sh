# The game as a citizen of today's desktops: the sound it really mixes, native Wayland, a first
# click that counts, a drag that holds the game still, a scaled window and the command line.
# Sourced by run.sh.

# ---------------------------------------------------------------------------------------------
# Sound, through SDL's disk audio driver, which writes the mixed output to a file.

# The samples of the effect with resource id $1, as hexadecimal text: the "data" chunk that
# starts after the 58 bytes of RIFF header, "fmt ", "fact" and the chunk's own header.
effect_hex() {
    local wav
    wav=$(echo "$here"/../../resources/"$1"_*.wav)
    [ -f "$wav" ] || fail "no sound file for $1 in resources/"
    [ "$(od -An -c -j50 -N4 "$wav" | tr -d ' ')" = data ] || fail "$wav has no data chunk at 50"
    local size
    size=$(od -An -j54 -N4 -tu4 "$wav" | tr -d ' ')
    tail -c +59 "$wav" | head -c "$size" | od -An -v -tx1 | tr -d ' \n'
}

# The sample numbers at which an exact copy of effect $2 starts in the mixed output $1 (hex).
copies_of() {
    grep -ob "$2" <<<"$1" | cut -d: -f1 | awk '$1 % 4 == 0 { print $1 / 4 }' || true
}

# A kick, the bounces that follow it and a hover over the close button are each found, whole
# and unchanged, in what SDL mixed, in that order. Times are not compared: the disk driver's
# clock drifts from the game's.
scenario_disk_audio() {
    start_x
    game_env=(SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/mixed.raw")
    start_game
    point_away
    wait_ball_rests rest
    crop rest score0 "$score_area"
    note "a kick, the bounces that follow it, then a hover over the close button"
    click 320 372 1
    point_away
    await_area kicked "$score_area" score0 different "the kick did not score"
    wait_ball_rests rest_again
    point 523 49
    wait_frames 3
    point_away
    wait_frames 3
    escape_ends_game "after ESC"
    [ -s "$work/mixed.raw" ] || fail "SDL's disk audio driver wrote nothing to $work/mixed.raw"

    local mixed kick bounce hover kicks bounces hovers
    mixed=$(od -An -v -tx1 "$work/mixed.raw" | tr -d ' \n')
    kick=$(effect_hex 2032)
    bounce=$(effect_hex 2033)
    hover=$(effect_hex 2034)
    kicks=$(copies_of "$mixed" "$kick")
    bounces=$(copies_of "$mixed" "$bounce")
    hovers=$(copies_of "$mixed" "$hover")
    note "$((${#mixed} / 4)) samples mixed; kicks at: $(echo $kicks); bounces at: $(echo $bounces); hovers at: $(echo $hovers)"
    [ "$(wc -w <<<"$kicks")" -eq 1 ] || fail "not one exact kick in the mixed sound: '$kicks'"
    [ "$(wc -w <<<"$hovers")" -eq 1 ] || fail "not one exact hover in the mixed sound: '$hovers'"
    local after_kick
    after_kick=$(awk -v k="$kicks" -v h="$hovers" '$1 > k && $1 < h' <<<"$bounces" | wc -l)
    [ "$after_kick" -ge 1 ] || fail "no exact bounce between the kick ($kicks) and the hover ($hovers)"
    [ "$hovers" -gt "$kicks" ] || fail "the hover ($hovers) came before the kick ($kicks)"
}

# ---------------------------------------------------------------------------------------------
# The command line: answered without a window, without the best-score file.

scenario_command_line() {
    [ -x "$hopla" ] || fail "$hopla is not a program"
    local option status args
    # No display at all: an option that opened a window would fail.
    for option in --help -h --version; do
        status=0
        env -u DISPLAY -u WAYLAND_DISPLAY XDG_DATA_HOME="$data" "$hopla" "$option" \
            >"$work/out" 2>"$work/err" || status=$?
        [ "$status" -eq 0 ] || fail "hopla $option ended with status $status: $(cat "$work/err")"
        [ -s "$work/out" ] || fail "hopla $option printed nothing"
        [ ! -s "$work/err" ] || fail "hopla $option wrote on stderr: $(cat "$work/err")"
        [ ! -e "$data" ] || fail "hopla $option touched the data folder"
    done
    grep -qx 'hopla [0-9]\+\.[0-9]\+\.[0-9]\+' "$work/out" || fail "--version printed: $(cat "$work/out")"
    env -u DISPLAY "$hopla" --help | grep -q -- '--scale N' || fail "--help does not explain --scale"

    # An answer that cannot be written is a failure, and says why.
    for option in --help --version; do
        status=0
        "$hopla" "$option" >/dev/full 2>"$work/err" || status=$?
        [ "$status" -eq 1 ] || fail "hopla $option >/dev/full ended with status $status, not 1"
        [ "$(wc -l <"$work/err")" -eq 1 ] && grep -q 'No space left' "$work/err" ||
            fail "hopla $option >/dev/full did not say why in one line: $(cat "$work/err")"
        note "hopla $option >/dev/full: $(cat "$work/err")"
    done

    for args in --bogus "--scale 0" "--scale 9" --scale "--scale two" play "--scale 2 extra"; do
        status=0
        # shellcheck disable=SC2086 # the words of args are the arguments
        env -u DISPLAY -u WAYLAND_DISPLAY XDG_DATA_HOME="$data" "$hopla" $args \
            >"$work/out" 2>"$work/err" || status=$?
        [ "$status" -eq 2 ] || fail "hopla $args ended with status $status, not 2"
        [ "$(wc -l <"$work/err")" -eq 1 ] && grep -q 'usage: hopla' "$work/err" ||
            fail "hopla $args did not say how to call it in one line: $(cat "$work/err")"
        [ ! -s "$work/out" ] || fail "hopla $args wrote on stdout"
        [ ! -e "$data" ] || fail "hopla $args touched the data folder"
        note "hopla $args: $(cat "$work/err")"
    done
}

# ---------------------------------------------------------------------------------------------
# Under a window manager: the first click, a window manager that comes late, a drag.

focus_elsewhere() { [ "$(xdotool getwindowfocus)" != "$win" ]; }

# The click that gives the window the focus also kicks: the player's first click is not lost.
scenario_first_click() {
    game_resting_under_openbox
    note "another program takes the focus"
    xmessage -geometry +0+0 "another program" &
    until_true "$patience" focus_elsewhere || fail "the other program did not take the focus"
    note "one click on the resting ball kicks it"
    click 320 372 1
    point_away
    await_area kicked "$score_area" score0 different "the first click on the unfocused window did not kick"
    escape_ends_game "after ESC"
    expect_file_holds_best 1
}

# A window manager that starts after the game leaves its window borderless, where it was.
scenario_late_window_manager() {
    start_x
    command -v xprop >/dev/null || skip "xprop is not installed (x11-utils)"
    start_game
    local startx=$winx starty=$winy
    start_openbox
    until_true "$patience" eval 'xprop -id "$win" _NET_FRAME_EXTENTS | grep -q "="' ||
        fail "openbox did not take the game's window in hand"
    local extents
    extents=$(xprop -id "$win" _NET_FRAME_EXTENTS)
    [[ $extents == *"= 0, 0, 0, 0" ]] || fail "the window got a frame: $extents"
    eval "$(xdotool getwindowgeometry --shell "$win")"
    [ "$WIDTH" -eq 440 ] && [ "$HEIGHT" -eq 400 ] && [ "$X" -eq "$startx" ] && [ "$Y" -eq "$starty" ] ||
        fail "the window went from ${winw}x$winh at ($startx, $starty) to ${WIDTH}x$HEIGHT at ($X, $Y)"
    # The keys go to the window that has the focus, which the window manager gives on request.
    xdotool windowactivate --sync "$win"
    escape_ends_game "after ESC"
}

# While the player drags the window the game stands still: the ball stays where it was when
# the drag began, and the run goes on afterwards.
scenario_drag_holds() {
    game_resting_under_openbox
    note "a kick sends the ball up; the top strip is pressed while it flies"
    click 320 372 1
    point 320 50
    await_area kicked "$score_area" score0 different "the kick did not score"
    wait_frames 1
    shot before_drag
    xdotool mousedown 1
    local i
    for i in 1 2 3 4 5 6 7 8 9 10; do
        xdotool mousemove_relative -- 3 3
        sleep 0.2
        [ "$i" -eq 3 ] && shot drag_early
    done
    shot drag_late
    xdotool mouseup 1
    note "two seconds of drag, and not one frame"
    cmp -s "$work/drag_early.rgb" "$work/drag_late.rgb" || fail "frames ran during the drag"
    note "the ball stands in the air, away from where it rested"
    crop rest rest_spot "$rest_box"
    crop drag_late drag_spot "$rest_box"
    expect_different rest_spot drag_spot "the ball is back on the floor during the drag"
    note "afterwards the game goes on, the run not over"
    wait_frames 3
    crop drag_late score_drag "$score_area"
    shot after_drag
    crop after_drag score_after "$score_area"
    expect_same score_drag score_after "the score changed after the drag"
    escape_ends_game "after ESC"
    expect_file_holds_best 1
}

# ---------------------------------------------------------------------------------------------
# A high-DPI screen: the window is scaled, and so are the pointer, the hit test and the strips.

# An area of the window at scale 1 (WxH+X+Y), at the current scale.
scaled_area() {
    local re='^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$'
    [[ $1 =~ $re ]] || fail "not an area: $1"
    echo "$((BASH_REMATCH[1] * scale))x$((BASH_REMATCH[2] * scale))+$((BASH_REMATCH[3] * scale))+$((BASH_REMATCH[4] * scale))"
}

scenario_scale() {
    xvfb_screen=1920x1080x24
    xvfb_args=(-dpi 192)
    start_x
    start_openbox
    note "HOPLA_SCALE=1 keeps the window at its own size on a 192 dpi screen"
    game_env=(HOPLA_SCALE=1)
    start_game
    [ "$winw" -eq 440 ] && [ "$winh" -eq 400 ] || fail "with HOPLA_SCALE=1 the window is ${winw}x$winh"
    escape_ends_game "after ESC"

    note "left to the screen, 192 dpi give scale 2: the window is 880 x 800, centred"
    game_env=()
    start_game
    scale=2
    [ "$winw" -eq 880 ] && [ "$winh" -eq 800 ] || fail "the window is ${winw}x$winh, not 880x800"
    [ "$winx" -eq $(((1920 - 1280) / 2 + 200)) ] && [ "$winy" -eq $(((1080 - 960) / 2 + 80)) ] ||
        fail "the window is at ($winx, $winy), not where the doubled frame's inner part goes"
    local score_at best_at
    score_at=$(scaled_area "$score_area")
    best_at=$(scaled_area "$best_area")

    note "a kick on the resting ball scores"
    point_away
    wait_ball_rests rest
    crop rest score0 "$score_at"
    crop rest best0 "$best_at"
    click 320 372 1
    point_away
    await_area score1 "$score_at" score0 different "the kick at scale 2 did not score"

    note "the top strip drags the window"
    drag_top_strip

    note "the close button closes"
    click 523 49 1
    expect_exit_0 "after a click on the close button at scale 2"
    expect_file_holds_best 1
}

# ---------------------------------------------------------------------------------------------
# Native Wayland: weston on its X11 backend, nested in the virtual X server. (Headless weston
# has no seat, and SDL's Wayland driver crashes without one.) The game's window is found in
# weston's picture; xdotool drives weston's pointer and keyboard through weston's X window.

weston_outside() { xdotool mousemove 1020 760; } # on the X screen, off weston's window

# Weston moves its pointer by how far the X pointer moved within its window, not to where the X
# pointer is. A long move to weston's top-left corner pins its pointer there, on the X pointer;
# from then on, as long as the X pointer stays within weston's window, the two move together.
line_up_pointers() {
    xdotool mousemove $((weston_x + weston_w / 2)) $((weston_y + weston_h / 2))
    sleep 0.2
    xdotool mousemove "$weston_x" "$weston_y"
    sleep 0.2
}

# Takes screenshots of weston's window until two in a row are the same.
weston_settles() {
    local limit=$((SECONDS + patience))
    import -window "$weston_win" -depth 8 "rgb:$work/settle.a.rgb" 2>/dev/null
    while [ "$SECONDS" -lt "$limit" ]; do
        sleep 0.3
        import -window "$weston_win" -depth 8 "rgb:$work/settle.b.rgb" 2>/dev/null
        cmp -s "$work/settle.a.rgb" "$work/settle.b.rgb" && return 0
        mv "$work/settle.b.rgb" "$work/settle.a.rgb"
    done
    return 1
}

# True once weston shows a 440 x 400 window that was not there before; sets game_box. The top
# 40 rows, weston's panel with its clock, are left out.
game_window_shown() {
    game_box="no screenshot of weston"
    import -window "$weston_win" -depth 8 "rgb:$work/weston.now.rgb" 2>"$work/import.err" || return 1
    local below_panel="${weston_w}x$((weston_h - 40))+0+40" re='^440x400\+([0-9]+)\+([0-9]+)$'
    game_box=$(convert -size "${weston_w}x$weston_h" -depth 8 "rgb:$work/settle.a.rgb" \
        -size "${weston_w}x$weston_h" -depth 8 "rgb:$work/weston.now.rgb" \
        -crop "$below_panel" +repage -compose difference -composite -threshold 0 -format %@ info: 2>/dev/null)
    [[ $game_box =~ $re ]] || return 1
    game_box="440x400+${BASH_REMATCH[1]}+$((BASH_REMATCH[2] + 40))"
}

# Starts weston, nested in the X server, on a socket of its own (weston_socket); sets
# weston_win and weston's place and size.
start_weston() {
    command -v weston >/dev/null || skip "weston is not installed (scripts/install-deps.sh brings it)"
    export XDG_RUNTIME_DIR="$work/runtime"
    # In a sanitizer build, no leak check here: SDL's Wayland driver loads libwayland, libdecor
    # and EGL at run time and unloads them at exit, and what they keep then shows up without a
    # name to tell it from the game's. Every other scenario checks for leaks.
    export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
    mkdir -m 700 "$XDG_RUNTIME_DIR"
    weston_socket="hopla-e2e-$$"
    weston_outside
    weston --backend=x11-backend.so --socket="$weston_socket" --use-pixman --width=1000 \
        --height=740 --idle-time=0 >"$work/weston.log" 2>&1 &
    wm_pid=$!
    until_true "$patience" test -S "$XDG_RUNTIME_DIR/$weston_socket" ||
        skip "weston did not start: $(tail -n 3 "$work/weston.log")"
    weston_win=$(timeout "$patience" xdotool search --sync --class '^Weston Compositor$' | head -n 1) ||
        skip "weston's window did not appear"
    eval "$(xdotool getwindowgeometry --shell "$weston_win")"
    weston_x=$X
    weston_y=$Y
    weston_w=$WIDTH
    weston_h=$HEIGHT
    weston_settles || skip "weston's picture did not settle: $(tail -n 3 "$work/weston.log")"
}

# Starts the game on SDL's Wayland driver and waits for its window in weston's picture; sets
# game_x and game_y, its place there. From then on shot and point work on that window.
start_wayland_game() {
    env -u DISPLAY SDL_VIDEODRIVER=wayland WAYLAND_DISPLAY="$weston_socket" SDL_AUDIODRIVER=dummy \
        XDG_DATA_HOME="$data" "$hopla" >"$work/game.out" 2>"$work/game.err" &
    game_pid=$!
    until_true "$patience" game_window_shown ||
        fail "no 440 x 400 window appeared in weston (what changed: ${game_box:-nothing})"
    local re='^440x400\+([0-9]+)\+([0-9]+)$'
    [[ $game_box =~ $re ]]
    game_x=${BASH_REMATCH[1]}
    game_y=${BASH_REMATCH[2]}
    note "weston placed it at ($game_x, $game_y)"
    # From here on the window is the game's rectangle of weston's picture.
    shot() {
        import -window "$weston_win" -depth 8 -crop "440x400+$game_x+$game_y" "rgb:$work/$1.rgb" \
            2>"$work/import.err" || fail "no screenshot of weston: $(cat "$work/import.err")"
    }
    winx=$((weston_x + game_x))
    winy=$((weston_y + game_y))
    winw=440
    winh=400
}

# The ball falls to rest and a click kicks it, once weston's pointer is where the X pointer is.
kick_in_weston() {
    ball_falls_to_rest
    crop rest score0 "$score_area"
    line_up_pointers
    point 320 372
    wait_frames 2
    xdotool click 1
    await_area kicked "$score_area" score0 different "the click in weston did not kick"
}

scenario_wayland() {
    start_x
    start_weston
    note "the game on SDL's Wayland driver shows its window; the ball rests, a click kicks"
    start_wayland_game
    kick_in_weston

    note "ESC ends the game and keeps the best score"
    point 200 250 # still within weston's window, where the keys go
    escape_ends_game "after ESC on Wayland"
    expect_file_holds_best 1

    note "with no surface to draw on, the game says so once and ends with an error"
    local status=0
    env -u DISPLAY SDL_VIDEODRIVER=wayland WAYLAND_DISPLAY="$weston_socket" SDL_AUDIODRIVER=dummy \
        SDL_FRAMEBUFFER_ACCELERATION=0 XDG_DATA_HOME="$data" timeout "$patience" "$hopla" \
        >"$work/game.out" 2>"$work/game.err" || status=$?
    [ "$status" -eq 1 ] || fail "without a surface the game ended with status $status, not 1"
    [ "$(grep -c surface "$work/game.err")" -eq 1 ] ||
        fail "without a surface stderr does not say so once: $(cat "$work/game.err")"
    note "$(grep surface "$work/game.err")"
}

# The compositor goes away under the game: as when the X server does, the game saves the best
# score, says why and ends with status 1.
scenario_wayland_lost() {
    start_x
    start_weston
    start_wayland_game
    kick_in_weston
    kill -KILL "$wm_pid"
    wait "$wm_pid" 2>/dev/null || true
    wm_pid=
    expect_exit_status 1 "after weston went away"
    [ "$(grep -cx 'hopla: the connection to the display was lost' "$work/game.err")" -eq 1 ] ||
        fail "stderr does not say once that the display was lost: $(cat "$work/game.err")"
    expect_file_holds_best 1
}
