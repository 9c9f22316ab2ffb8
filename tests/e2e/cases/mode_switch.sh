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
