# The emulator itself, where no row can say it: what it refuses to play rather than play another
# printer, and the side interfaces it lists, which Orvane must meet and pass by.

case_refuses_what_it_cannot_play() {
    emulator_refused '--settles-in comm' '--leaves-after-return' '--unplug-after-ms 5' \
        '--unplug-at-command' '--no-serial' '--serial ORV-1' '--serial ORVEMU0000' '--mode fax' \
        '--pid c303' '--bogus' '--no-driver-in native --problem-code 28' '--linger-ms 10'
    grep -q 'the emulator cannot play --linger-ms' "$CASE_DIR/refused.err" ||
        fail "the refusal does not say why: $(<"$CASE_DIR/refused.err")"
    # Only the errors Wine gives a client can be played, each on its kind of pipe.
    emulator_refused '--refuse-command-opens 170'
    grep -q 'no client error 170 (ERROR_BUSY)' "$CASE_DIR/refused.err" ||
        fail "the refusal of 170 does not say why: $(<"$CASE_DIR/refused.err")"
    emulator_refused '--refuse-opens 2' '--refuse-command-opens x' \
        '--refuse-opens 5 --refuse-command-opens 5' '--refuse-opens 32 --also' \
        '--also --refuse-opens 5' '--refuse-opens 32 --fail-writes'
    # Two printers at most, the second on mailslots, and never under one serial and product ID.
    emulator_refused '--also --stall-writes' '--also --also' '--also --serial ORVEMU0001'
}

# The foreign interface is listed first in every class and opens fine: the probe meets it in the
# native class and before the printer in the printer class, and never opens its pipes. The dead
# interface carries the printer's IDs and is listed before it in every class: the probe tries it
# and goes on.
case_probe_meets_the_foreign_and_dead_interfaces() {
    trace_next_run
    emulator_start --mode comm --foreign --dead
    orvane_run 30 MODE
    emulator_stop
    assert_exit 0
    assert_stdout "Comm Class USB = COM7"
    assert_emulator_never_saw '^open foreign'
    (($(trace_records | grep -c 'SDEDI returns TRUE') >= 3)) ||
        fail "the probe did not meet the foreign interfaces: the emulator listed none"
    trace_records | grep -q '#orvemu0000#' ||
        fail "the probe never tried the dead interface: the emulator did not list it"
}
