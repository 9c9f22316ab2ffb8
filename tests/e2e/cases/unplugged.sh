# The printer goes away during a change and does not answer in the new mode: Orvane gives up
# after its 120-second wait with one line and exit code 3, and prints no "Now set to".

E2E_TOOL_LIFETIME_S=200
wait_bound_s=120

# assert_gave_up MODE_STRING: Orvane waited the whole bound, then said so.
assert_gave_up() {
    assert_exit 3
    assert_stdout "Printer did not come back in $1 mode within $wait_bound_s seconds"
    assert_between "the time Orvane took (ms)" "$ORVANE_MS" $((wait_bound_s * 1000)) \
        $(((wait_bound_s + 15) * 1000))
}

case_never_comes_back() {
    emulator_start --mode native --never-back
    orvane_run 180 PRINTERCLASS
    emulator_stop
    assert_gave_up "Printer Class USB"
    assert_emulator_saw '^withdrawn$'
    assert_emulator_never_saw '^up printer '
}

case_comes_back_in_another_mode() {
    emulator_start --mode native --back-in native --restart-ms 2000
    orvane_run 180 COMMCLASS
    emulator_stop
    assert_gave_up "Comm Class USB"
    assert_emulator_saw '^write PIPE01 1F 0B 4E 1F 43 02$'
    assert_emulator_saw '^up native '
    assert_emulator_never_saw '^up comm '
}

case_comes_back_after_the_bound() {
    emulator_start --mode comm --restart-ms 125000
    orvane_run 180 NATIVE
    assert_gave_up "Native USB"
    emulator_stop
    assert_emulator_never_saw '^up native '
}
