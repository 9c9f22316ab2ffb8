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
