# The game light on the battery: it rests while minimised, and with --sync it draws a frame per
# display refresh. Processor time is read from /proc, the frame rate from the game's own
# counter. Sourced by run.sh.

# The game's processor time so far (user and system, all its threads), in clock ticks. The
# fields are counted after the program's name, which ends with ") ".
cpu_ticks() {
    local stat
    stat=$(cat "/proc/$game_pid/stat") || fail "the game is gone"
    awk '{ print $12 + $13 }' <<<"${stat##*) }"
}

# The share of one core the game uses over the next $1 seconds, in percent with one decimal.
cpu_share() {
    local ticks0 ticks1 start end
    ticks0=$(cpu_ticks)
    start=$(date +%s%N)
    sleep "$1"
    ticks1=$(cpu_ticks)
    end=$(date +%s%N)
    awk -v t="$((ticks1 - ticks0))" -v hz="$(getconf CLK_TCK)" -v ns="$((end - start))" \
        'BEGIN { printf "%.1f\n", t / hz * 1e11 / ns }'
}

# expect_share_at_most SHARE LIMIT WHAT: fails when SHARE (percent) is above LIMIT.
expect_share_at_most() {
    awk -v s="$1" -v l="$2" 'BEGIN { exit !(s <= l) }' || fail "$3 used $1% of a core, more than $2%"
}

window_minimised() { xprop -id "$win" WM_STATE | grep -q 'window state: Iconic'; }
window_normal() { xprop -id "$win" WM_STATE | grep -q 'window state: Normal'; }

# Minimised, the game draws nothing and waits for the desktop: next to no processor time. Shown
# again it goes on, and a kick scores. Minimised once more, it still hears the window manager's
# close request at once.
scenario_rest() {
    command -v xprop >/dev/null || skip "xprop is not installed (x11-utils)"
    game_resting_under_openbox
    note "minimised for 5 s"
    xdotool windowminimize "$win"
    until_true "$patience" window_minimised || fail "openbox did not minimise the window"
    sleep 1 # time for the game to take the desktop's report
    local share
    share=$(cpu_share 5)
    note "minimised, the game used $share% of a core"
    expect_share_at_most "$share" 4 "minimised, the game"

    note "shown again, the game draws and a kick scores"
    wmctrl -i -a "$win"
    until_true "$patience" window_normal || fail "openbox did not show the window again"
    click 320 372 1
    point_away
    await_area kicked "$score_area" score0 different "the kick after the rest did not score"

    note "minimised again, the window manager's close request ends the game at once"
    xdotool windowminimize "$win"
    until_true "$patience" window_minimised || fail "openbox did not minimise the window again"
    sleep 1
    local asked=$SECONDS
    wmctrl -i -c "$win"
    expect_exit_0 "after the close request to the minimised window"
    [ $((SECONDS - asked)) -le 3 ] || fail "the close request took $((SECONDS - asked)) s to end the game"
    expect_file_holds_best 1
}

# The counter's pictures for $1 to $2 frames per second, drawn by the headless renderer and
# kept as raw crops of its area, $work/fps/N.rgb: each counting window runs N frames of a
# millisecond, then one that ends the window and shows N. The ball falls far from the counter.
render_fps_pictures() {
    [ -x "${HOPLA_RENDER:-}" ] || fail "HOPLA_RENDER does not name the headless renderer"
    local n start=0 close shots=()
    {
        echo "clock 5000"
        echo "step 1"
        echo "at 0 rrelease"
        for ((n = $1; n <= $2; n++)); do
            close=$((start + n))
            echo "at $close step 1000"
            echo "at $close shot $work/fps_render_$n.png"
            echo "at $((close + 1)) step 1"
            start=$close
            shots+=("$work/fps_render_$n.png")
        done
    } >"$work/fps.script"
    "$HOPLA_RENDER" --script "$work/fps.script" >/dev/null 2>"$work/render.err" ||
        fail "the headless renderer failed: $(cat "$work/render.err")"
    mkdir -p "$work/fps"
    convert "${shots[@]}" -crop "$fps_area" +repage -scene "$1" "rgb:$work/fps/%d.rgb"
    fps_from=$1
    fps_to=$2
}

# The number the counter shows in screenshot $1; fails when it shows none of the rendered ones.
read_fps() {
    local n
    # shellcheck disable=SC2046 # picture gives several words on purpose
    convert $(picture "$1") -crop "$fps_area" +repage "rgb:$work/fps/seen.rgb"
    for ((n = fps_from; n <= fps_to; n++)); do
        cmp -s "$work/fps/$n.rgb" "$work/fps/seen.rgb" && echo "$n" && return 0
    done
    fail "the frames-per-second counter shows no number from $fps_from to $fps_to"
}

# With --sync: as many frames a second as the display refreshes (Xvfb tells SDL no rate, so the
# game keeps 60 Hz), a small share of a core while the ball flies and rests, a kick that scores,
# and SIGTERM heard at once between two frames. The counter may show fewer on a loaded machine,
# whose late wake-ups miss refreshes; never more, and never a rate that is far too slow.
scenario_sync() {
    render_fps_pictures 10 70
    start_x
    game_args=(--sync)
    start_game
    point_away
    wait_ball_rests rest
    crop rest score0 "$score_area"

    note "the counter shows the refresh rate"
    point 300 250
    wait_frames 2
    xdotool click 3
    point_away
    sleep 2.5 # a whole counting window since the click
    shot counted
    local fps
    fps=$(read_fps counted)
    note "the counter shows $fps"
    [ "$fps" -ge 15 ] && [ "$fps" -le 62 ] ||
        fail "with --sync the counter shows $fps: more than a 60 Hz refresh allows, or far fewer"

    note "a kick scores; the game's share of a core while the ball flies and comes to rest"
    click 320 372 1
    point_away
    await_area kicked "$score_area" score0 different "the kick with --sync did not score"
    local share
    share=$(cpu_share 5)
    note "with --sync, playing, the game used $share% of a core"
    if [ "${HOPLA_E2E_OPTIMISED:-0}" = 1 ]; then
        expect_share_at_most "$share" 25 "with --sync, the game"
    else
        note "an unoptimised build: its share is not held to a limit"
    fi

    local asked=$SECONDS
    kill -TERM "$game_pid"
    expect_exit_0 "after SIGTERM with --sync"
    [ $((SECONDS - asked)) -le 3 ] || fail "SIGTERM took $((SECONDS - asked)) s to end the game"
    expect_file_holds_best 1
}
