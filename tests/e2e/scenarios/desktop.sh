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
