# The first scenarios: play, the close button, a tap of ESC, signals, stored best scores, a
# window manager and no display. Sourced by run.sh.

# The window, a falling ball, a kick that scores, the frames-per-second number, ESC, the file,
# and a second start that shows the best score.
scenario_play() {
    start_x
    start_game
    note "the window: title, size and place"
    [ "$(xdotool getwindowname "$win")" = "Hopla-Game" ] || fail "the title is not Hopla-Game"
    [ "$winw" -eq 440 ] && [ "$winh" -eq 400 ] || fail "the window is ${winw}x$winh, not 440x400"
    [ "$winx" -eq $(((1024 - 640) / 2 + 100)) ] && [ "$winy" -eq $(((768 - 480) / 2 + 40)) ] ||
        fail "the window is at ($winx, $winy), not where the centred frame's inner part goes"
    if command -v xprop >/dev/null; then
        xprop -id "$win" _NET_WM_ICON | grep -q 'Icon (32 x 32)' || fail "the window has no 32 x 32 icon"
    else
        note "xprop is not installed: the window's icon goes unchecked"
    fi

    note "the ball falls and comes to rest at (320, 372)"
    point_away
    ball_falls_to_rest
    crop rest best0 "$best_area"

    # Before the kick, while the ball rests in the middle, far from the number.
    note "the right button shows and hides the frames-per-second number"
    point 320 250
    wait_frames 2
    shot fps_off
    crop fps_off fps0 "$fps_area"
    xdotool click 3
    await_area fps_on "$fps_area" fps0 different "no frames-per-second number appeared"
    xdotool click 3
    await_area fps_off_again "$fps_area" fps0 same "the frames-per-second number did not go away"

    note "a kick on the resting ball changes the score and the best score"
    crop rest score0 "$score_area"
    click 320 372 1
    point_away
    await_area score1 "$score_area" score0 different "the score on screen did not change after the kick"
    await_area best1 "$best_area" best0 different "the best score on screen did not change after the kick"

    note "ESC ends the game and the best score 1 is kept"
    escape_ends_game "after ESC"
    expect_file_holds_best 1

    note "a second start shows best score 1"
    start_game
    point_away
    await_area best_again "$best_area" best1 same "the second start does not show the best score of the first"
    escape_ends_game "after ESC in the second run"
    expect_file_holds_best 1
}

# The close button: a press there released elsewhere does nothing; pressed and released there
# it ends the game.
scenario_close_button() {
    start_x
    start_game
    note "press on the close button, release elsewhere: the game goes on"
    point 523 49
    wait_frames 2
    xdotool mousedown 1
    point 320 250
    wait_frames 2
    xdotool mouseup 1
    expect_running "after a press on the close button released elsewhere"
    note "press and release on the close button: the game ends"
    click 523 49 1
    expect_exit_0 "after a click on the close button"
    expect_file_holds_best 0
}

# A tap of ESC ends the game as a held key does, even when its press and release both reach
# the game between two frames, as from a tool that sends them together.
scenario_escape_tap() {
    start_x
    start_game
    xdotool key --delay 0 Escape
    expect_exit_0 "after a tap of ESC"
    expect_file_holds_best 0
}

# SIGTERM, as from the desktop when the session ends, and SIGINT, as from Ctrl+C in a
# terminal, end the game the way ESC does: the best score is kept.
scenario_terminate() {
    start_x
    local signal
    for signal in TERM INT; do
        note "SIG$signal after a kick keeps best score 1"
        rm -rf "$data"
        # With job control on, the game starts with SIGINT at its default, as from a terminal,
        # not ignored as for a background command of a script.
        set -m
        start_game
        set +m
        point_away
        wait_ball_rests "rest$signal"
        crop "rest$signal" "score$signal" "$score_area"
        click 320 372 1
        point_away
        await_area "kicked$signal" "$score_area" "score$signal" different "the kick before SIG$signal did not score"
        kill "-$signal" "$game_pid"
        expect_exit_0 "after SIG$signal"
        expect_file_holds_best 1
    done
}

# Best-score files the player may have: the largest best score whose stored number is
# positive, and 9999, stored negative; both come back unchanged and show on screen.
scenario_high_scores() {
    start_x
    for best in 6769 9999; do
        note "a file of best score $best survives a start and an exit"
        write_file_for_best "$best"
        start_game
        point_away
        wait_frames 2
        shot "best$best"
        crop "best$best" "best_area$best" "$best_area"
        escape_ends_game "after ESC"
        expect_file_holds_best "$best"
    done
    expect_different best_area6769 best_area9999 "best scores 6769 and 9999 look the same"
}

# Under a window manager: a drag by the top strip moves the window and kicks nothing, and the
# window manager's close request ends the game the way ESC does.
scenario_window_manager() {
    game_resting_under_openbox

    note "a drag by the top strip moves the window by the pointer's travel"
    drag_top_strip
    wait_frames 2
    shot dragged
    crop dragged score_dragged "$score_area"
    expect_same score0 score_dragged "the press that dragged the window also kicked"

    note "the window manager's close request ends the game and keeps the best score"
    wmctrl -c Hopla-Game
    expect_exit_0 "after the window manager's close request"
    expect_file_holds_best 0
}

# No display, or one that does not answer: one line on stderr, a status other than 0, and no
# best-score file. The game must not fall back to drawing nowhere.
scenario_no_display() {
    [ -x "$hopla" ] || fail "$hopla is not a program"
    local display status
    for display in "" ":$((RANDOM % 1000 + 5000))"; do
        status=0
        env -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER DISPLAY="$display" SDL_AUDIODRIVER=dummy \
            XDG_DATA_HOME="$data" "$hopla" >"$work/game.out" 2>"$work/game.err" || status=$?
        [ "$status" -ne 0 ] || fail "the game ended with status 0 with DISPLAY='$display'"
        [ "$(wc -l <"$work/game.err")" -eq 1 ] && grep -q "display" "$work/game.err" ||
            fail "stderr does not hold one line about the display: $(cat "$work/game.err")"
        [ ! -s "$work/game.out" ] || fail "the game wrote to stdout"
        [ ! -e "$data" ] || fail "the game wrote into the data folder: $(find "$data")"
        note "DISPLAY='$display': $(cat "$work/game.err")"
    done
}

