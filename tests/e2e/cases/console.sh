# VERSION and TRACE, and a printer that takes no byte.

case_version_comes_from_the_version_block() {
    emulator_purge
    orvane_run 30 VERSION
    assert_exit 0
    assert_stdout "Orvane $E2E_VERSION"
}

case_trace_is_echoed_on_standard_error() {
    emulator_start --mode native
    orvane_run 30 TRACE MODE
    emulator_stop
    assert_exit 0
    assert_stdout "Native USB"
    local err
    err=$(tr -d '\r' <"$CASE_DIR/orvane.err")
    grep -Eq '^ProbeUsb\([0-9]+\) retval = 0  UsbString = Native USB$' <<<"$err" ||
        fail "the probe's result is not on standard error"
    grep -Eq '^Param\([0-9]+\) MODE$' <<<"$err" || fail "the MODE switch is not traced"
    orvane_run 30 MODE
    [[ ! -s "$CASE_DIR/orvane.err" ]] || fail "without TRACE, standard error is not empty"
}

# The command pipe opens but takes no byte: each write gives up after its bound, and the change
# ends by itself with the restart timeout, never with a success line.
case_stalled_printer_ends_by_itself() {
    # The emulator must outlive the whole change: two bounded writes and the 120-second wait.
    E2E_TOOL_LIFETIME_S=200 emulator_start --mode native --stall-writes
    orvane_run 200 PRINTERCLASS
    emulator_stop
    assert_exit 3
    assert_stdout "Printer did not come back in Printer Class USB mode within 120 seconds"
    assert_emulator_saw '^write-stalled PIPE01 '
    assert_between "the change's run time (ms)" "$ORVANE_MS" 125000 150000
}
