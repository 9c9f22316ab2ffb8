# Mode changes: what Orvane prints, what the printer receives, and the wait for its restart.

# The restart time the emulator plays; short, so the wait stays a few seconds.
restart_ms=2000

# The emulator cuts PIPE01 as soon as a write arrives, so both writes fail for Orvane; having
# seen the mode command, the printer restarts anyway, which ends the wait within seconds.
case_failing_writes_still_lead_to_the_wait() {
    trace_next_run
    emulator_start --mode native --fail-writes --restart-ms "$restart_ms"
    orvane_run 60 PRINTERCLASS
    emulator_stop
    assert_exit 0
    assert_stdout_ends_with "Now set to Printer Class USB"
    assert_emulator_saw '^write-failed PIPE01 1F 0B 4E 1F 43 01$'
    assert_emulator_never_saw '^write PIPE01 '
    local failed waited
    failed=$(trace_records | grep -c ') Error on write\\n$')
    waited=$(trace_records | grep -c ') Not yet rebooted\\n$')
    assert_equal "the traced failed writes" 2 "$failed"
    ((waited >= 1)) || fail "no 'Not yet rebooted' trace: the wait did not follow the failed writes"
    assert_emulator_saw '^open PIPE00 printer$'
}

case_trace_of_a_change() {
    trace_next_run
    emulator_start --mode native --restart-ms 3000
    orvane_run 60 PRINTERCLASS
    emulator_stop
    assert_exit 0
    assert_stdout "Now set to Printer Class USB"

    trace_records >"$CASE_DIR/orvane-trace.txt"
    assert_between "the 'Not yet rebooted' traces for a 3000 ms restart" \
        "$(grep -c ') Not yet rebooted\\n$' "$CASE_DIR/orvane-trace.txt")" 2 4
    # Every trace is "<label>(<line>) <text>" and ends with a newline, unless Wine cut it.
    local odd
    odd=$(grep -Ev '^[^()]+\([0-9]+\) .*(\\n|\.\.\.)$' "$CASE_DIR/orvane-trace.txt" | head -n 3)
    [[ -z "$odd" ]] || fail "trace lines of another form: $odd"
}

# Back in printer class mode without a driver: under Wine a device key with its setup class and
# no interface, a device node without a problem code. The wait sees it after the printer's
# return and goes on (its bound and the line after it are rows on fake and sim).
case_printer_back_without_a_driver_keeps_the_wait_going() {
    trace_next_run
    cut_next_run
    emulator_start --mode native --restart-ms "$restart_ms" --no-driver-in printer
    orvane_run 9 PRINTERCLASS
    emulator_stop
    assert_emulator_saw '^up-without-driver printer USB\\VID_6B1F&PID_C302\\ORVEMU0001$'
    assert_emulator_never_saw '^up printer'
    # A look in the instant the printer leaves may see its node without the interface too.
    local seen
    seen=$(trace_records | grep -c ') Back without a driver, none installed yet\\n$')
    ((seen >= 1)) || fail "the wait never saw the printer back without a driver"
    assert_between "the 'Not yet rebooted' traces after it was last seen so" \
        "$(trace_records | tac | sed '/Back without a driver/q' | grep -c ') Not yet rebooted')" 2 8
}
