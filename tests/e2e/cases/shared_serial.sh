# Two printers with one serial number. Windows gives them two instance IDs only through their
# product IDs: printer 1 (named pipes) USB\VID_6B1F&PID_C302\ORVEMU0001, printer 2 (mailslots)
# USB\VID_6B1F&PID_C318\ORVEMU0001. Each shows under its whole instance ID and is reached by it.

id1='USB\VID_6B1F&PID_C302\ORVEMU0001'
id2='USB\VID_6B1F&PID_C318\ORVEMU0001'
tag1='ORVEMU0001@C302'
tag2='ORVEMU0001@C318'
shared='serial ORVEMU0001 is shared with another printer'

# Printer 1 in MODE1, printer 2 (port COM9) in MODE2.
shared_printers() {
    emulator_start --mode "$1" --restart-ms 2000 --also --mode "$2" --serial ORVEMU0001 \
        --pid c318 --port COM9 --restart-ms 2000
}

lower() {
    tr '[:upper:]' '[:lower:]' <<<"$1"
}

case_list_shows_both_and_why() {
    shared_printers native comm
    orvane_run 30 LIST
    emulator_stop
    assert_exit 0
    assert_stdout $'1\t'"$id1"$'\tNative USB\t\t'"$shared" \
        $'2\t'"$id2"$'\tComm Class USB\tCOM9\t'"$shared"
}

# chosen_second_case CHOICE: PRINTER=CHOICE COMMCLASS reaches printer 2 alone.
chosen_second_case() {
    shared_printers native native
    orvane_run 60 "PRINTER=$1" COMMCLASS
    emulator_stop
    assert_exit 0
    assert_stdout "Now set to Comm Class USB" "Comm Class USB virtual port = COM9"
    assert_equal "printer 2's writes" "$(printf '%s\n' "1F 0B 4E 1F 43 02" "1D FF")" \
        "$(emulator_writes_of "$tag2" PIPE01)"
    [[ -z "$(emulator_events_of "$tag1" | grep -E '^(write|restart-begin)')" ]] ||
        fail "printer 1 was written to: $(emulator_events_of "$tag1" | grep -E '^write')"
}

case_second_is_reached_by_its_identity() {
    chosen_second_case "$id2"
}

case_second_is_reached_by_its_identity_in_lower_case() {
    chosen_second_case "$(lower "$id2")"
}

case_second_is_reached_by_its_number() {
    chosen_second_case 2
}

# Printer 1 by its identity in lower case: it alone hears the command.
case_first_is_reached_by_its_identity() {
    shared_printers native native
    orvane_run 60 "PRINTER=$(lower "$id1")" PRINTERCLASS
    emulator_stop
    assert_exit 0
    assert_stdout "Now set to Printer Class USB"
    assert_equal "printer 1's writes" "$(printf '%s\n' "1F 0B 4E 1F 43 01" "1D FF")" \
        "$(emulator_writes_of "$tag1" PIPE01)"
    [[ -z "$(emulator_writes_of "$tag2" PIPE01)" ]] || fail "printer 2 was written to"
}

