# MODE against the emulated printer in each of its modes and beside other interfaces.

# report_case "EMULATOR OPTIONS" EXPECTED-LINE...: MODE prints exactly these lines, exit 0,
# and reaches the printer without writing to it.
report_case() {
    local options=$1
    shift
    # shellcheck disable=SC2086 # the options are words
    emulator_start $options
    orvane_run 30 MODE
    emulator_stop
    assert_exit 0
    assert_stdout "$@"
    assert_emulator_saw '^open PIPE00 '
    assert_emulator_never_saw '^(write|write-failed) '
}

case_native() {
    report_case "--mode native" "Native USB"
    # What the emulator cannot play it refuses, rather than play another printer.
    emulator_refused '--settles-in comm' '--leaves-after-return' '--unplug-after-ms 5' \
        '--unplug-at-command' '--no-serial' '--serial ORV-1' '--serial ORVEMU0000' '--mode fax' \
        '--pid c303' '--bogus' '--linger-ms 10'
    grep -q 'the emulator cannot play --linger-ms' "$CASE_DIR/refused.err" ||
        fail "the refusal does not say why: $(<"$CASE_DIR/refused.err")"
}

case_printer_class() {
    report_case "--mode printer --pid c318" "Printer Class USB"
}

case_comm_class_with_port() {
    report_case "--mode comm --pid c337" "Comm Class USB = COM7"
}

case_comm_class_without_port() {
    report_case "--mode comm --no-port" \
        'Error Querying Value (\Device\QZMPUSBPort0) = 2' "Comm Class USB"
}

case_mode_with_a_switch_only_reports() {
    emulator_start --mode native
    orvane_run 30 MODE COMMCLASS
    emulator_stop
    assert_exit 0
    assert_stdout "Native USB"
    assert_emulator_saw '^open PIPE00 native$'
    assert_emulator_never_saw '^open PIPE01 '
    assert_emulator_never_saw '^(write|write-failed) '
}

case_foreign_interface_is_never_opened() {
    # The foreign interface is listed first in every class and opens fine: the probe meets it
    # in the native class and before the printer in the printer class, three interfaces in all.
    listener_start
    report_case "--mode printer --foreign" "Printer Class USB"
    listener_stop
    assert_emulator_never_saw '^open foreign'
    (($(trace_records | grep -c 'SDEDI returns TRUE') >= 3)) ||
        fail "the probe did not meet the foreign interfaces: the emulator listed none"
}

case_dead_interface_is_skipped() {
    # The dead interface carries the printer's IDs and is listed before it in every class; the
    # probe tries it and goes on.
    listener_start
    report_case "--mode comm --dead" "Comm Class USB = COM7"
    listener_stop
    trace_records | grep -q '#orvemu0000#' ||
        fail "the probe never tried the dead interface: the emulator did not list it"
}

# Without the device key's PortName, the port is read from the serial-port map.
case_comm_class_port_in_the_serial_map_alone() {
    report_case "--mode comm --no-device-port" "Comm Class USB = COM7"
    assert_emulator_never_saw '^device-port'
}
