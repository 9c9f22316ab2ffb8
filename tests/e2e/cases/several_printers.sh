# Two printers at once: printer 1 behind named pipes (serial ORVEMU0001, port COM7), printer 2
# behind mailslots (serial ORVEMU0003). Orvane names them, acts only on the one chosen, and lets
# no other printer answer for it.

id1='USB\VID_6B1F&PID_C302\ORVEMU0001'
id2='USB\VID_6B1F&PID_C318\ORVEMU0003'

# Printer 1 in MODE1, printer 2 (product C318, port COM9) in MODE2.
two_printers() {
    emulator_start --mode "$1" --restart-ms 2000 --also --mode "$2" --pid c318 --port COM9 \
        --restart-ms 2000
}

assert_no_writes() {
    local serial
    for serial in ORVEMU0001 ORVEMU0003; do
        [[ -z "$(emulator_events_of "$serial" | grep -E '^(write|restart-begin)')" ]] ||
            fail "printer $serial was written to: $(emulator_events_of "$serial" | grep write)"
    done
}

# Printer 1 native, printer 2 already in comm class: COMMCLASS used to send the command to
# printer 1, take printer 2's interface for its return, and report success at once.
case_switch_without_a_choice_sends_nothing() {
    two_printers native comm
    orvane_run 30 COMMCLASS
    emulator_stop
    assert_exit 4
    assert_stdout "2 printers are attached: choose one with PRINTER=<n|ID> (LIST shows them)"
    assert_no_writes
}

case_list_names_both() {
    # Two printers at most, the second on mailslots, and never under one serial and product ID.
    emulator_refused '--also --stall-writes' '--also --also' '--also --serial ORVEMU0001'
    two_printers native comm
    orvane_run 30 LIST
    emulator_stop
    assert_exit 0
    assert_stdout $'1\t'"$id1"$'\tNative USB\t' $'2\t'"$id2"$'\tComm Class USB\tCOM9'
}

case_mode_reports_each() {
    two_printers printer comm
    orvane_run 30 MODE
    emulator_stop
    assert_exit 0
    assert_stdout "Printer 1 ($id1): Printer Class USB" "Printer 2 ($id2): Comm Class USB = COM9"
}

case_choice_that_matches_nothing_is_refused() {
    two_printers native comm
    orvane_run 30 PRINTER=ORVEMU0009 NATIVE
    emulator_stop
    assert_exit 4
    assert_stdout "No attached printer matches PRINTER=ORVEMU0009 (LIST shows the attached printers)"
    assert_no_writes
}

# Printer 2 (mailslots) is changed to comm class while printer 1 sits in comm class already:
# only printer 2 hears the command, and printer 1's pipes are never opened, not by the probes
# and not by the restart wait.
case_chosen_printer_alone_hears_and_answers() {
    listener_start
    two_printers comm native
    orvane_run 60 PRINTER=orvemu0003 COMMCLASS
    emulator_stop
    listener_stop
    assert_exit 0
    assert_stdout "Now set to Comm Class USB" "Comm Class USB virtual port = COM9"
    assert_equal "printer 2's writes" "$(printf '%s\n' "1F 0B 4E 1F 43 02" "1D FF")" \
        "$(emulator_writes_of ORVEMU0003 PIPE01)"
    [[ -z "$(emulator_events_of ORVEMU0001 | grep -E '^(open|write)')" ]] ||
        fail "printer 1 was opened: $(emulator_events_of ORVEMU0001 | grep -E '^(open|write)')"
    local waited
    waited=$(trace_records | grep -c ') Not yet rebooted\\n$')
    ((waited >= 1)) || fail "the wait ended at once: printer 1 answered for printer 2"
}

# The same the other way round: printer 1 (pipes) changed while printer 2 sits in the target
# mode; printer 1's own port is reported.
case_chosen_printer_reports_its_own_port() {
    two_printers native comm
    orvane_run 60 PRINTER=1 COMMCLASS
    emulator_stop
    assert_exit 0
    assert_stdout "Now set to Comm Class USB" "Comm Class USB virtual port = COM7"
    assert_equal "printer 1's writes" "$(printf '%s\n' "1F 0B 4E 1F 43 02" "1D FF")" \
        "$(emulator_writes_of ORVEMU0001 PIPE01)"
    [[ -z "$(emulator_writes_of ORVEMU0003 PIPE01)" ]] || fail "printer 2 was written to"
    # The wait and the final probe opened printer 1's presence pipe in comm class mode.
    grep -q '^open PIPE00 comm$' <<<"$(emulator_events_of ORVEMU0001)" ||
        fail "printer 1 was never asked in comm class mode"
}
