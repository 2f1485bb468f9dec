# The best score through everything that can end a game: a hang-up, a display that goes away,
# a closed stderr, a start that fails, and what an interrupted save left. Sourced by run.sh.

# Lets the ball come to rest, kicks it and waits until the score shows the kick; $1 names the
# screenshots.
kick_resting_ball() {
    point_away
    wait_ball_rests "rest$1"
    crop "rest$1" "score$1" "$score_area"
    click 320 372 1
    point_away
    await_area "kicked$1" "$score_area" "score$1" different "the kick did not score"
}

# A closed terminal or a logout sends SIGHUP: the game ends as on SIGTERM and keeps the score.
scenario_hangup() {
    start_x
    start_game
    kick_resting_ball hup
    kill -HUP "$game_pid"
    expect_exit_0 "after SIGHUP"
    expect_file_holds_best 1
}

# The X server ends under the game: the game ends too, with status 1 and saying why, but saves
# the best score first.
scenario_display_lost() {
    start_x
    start_game
    kick_resting_ball lost
    kill "$xvfb_pid"
    wait "$xvfb_pid" 2>/dev/null || true
    xvfb_pid=
    expect_exit_status 1 "after its display went"
    grep -qx 'hopla: the connection to the display was lost' "$work/game.err" ||
        fail "stderr does not say that the display was lost: $(cat "$work/game.err")"
    expect_file_holds_best 1
}

# Started with stderr closed, the game must not take descriptor 2 for its display: the line
# of its failed save would go into the X connection and the game would never end.
scenario_closed_stderr() {
    start_x
    # A plain file where the game's data folder should be: the save fails and says so.
    mkdir -p "$work/blocked"
    echo "not a folder" >"$work/blocked/hopla"
    (exec env -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER SDL_AUDIODRIVER=dummy \
        XDG_DATA_HOME="$work/blocked" "$hopla" >"$work/game.out" 2>&-) &
    game_pid=$!
    await_window
    escape_ends_game "after ESC with stderr closed"
    [ "$(cat "$work/blocked/hopla")" = "not a folder" ] || fail "the file in the data folder's place changed"
}

# No sound device: the two boxes of a failed start, and once they are dismissed the game ends
# with status 1, as any start that fails.
scenario_no_sound() {
    start_x
    command -v xwininfo >/dev/null || skip "xwininfo is not installed (scripts/install-deps.sh brings it)"
    launch_game SDL_AUDIODRIVER=nonexistent
    dismiss_message_box "Error"
    dismiss_message_box "Loading Error"
    expect_exit_status 1 "after a start without sound"
    grep -q "^Error: Unable to create DirectSound object$" "$work/game.err" &&
        grep -q "^Loading Error: Problem initiating DirectSound 8. Application will now terminate.$" \
            "$work/game.err" || fail "the boxes' texts are not on stderr: $(cat "$work/game.err")"
}

# A save killed before its rename leaves its temporary file; the next exit clears it away, and
# nothing else in the folder.
scenario_leftover_save() {
    start_x
    write_file_for_best 5
    printf '1260334707' >"$score_file.Ab3xYz"
    printf 'mine' >"$data/hopla/notes.txt"
    start_game
    escape_ends_game "after ESC"
    expect_file_holds_best 5
    [ ! -e "$score_file.Ab3xYz" ] || fail "the interrupted save's file is still there"
    [ "$(cat "$data/hopla/notes.txt")" = mine ] || fail "the save touched another file in its folder"
}
