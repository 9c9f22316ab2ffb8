# A printer that another program holds: the emulator refuses opens of its pipes with the error
# such a program causes, 5 (ERROR_ACCESS_DENIED) through named pipes or 32
# (ERROR_SHARING_VIOLATION) through mailslots. Orvane names the mode in which it found the
# printer, exits 6 and sends nothing. (Wine fails no open with 170, ERROR_BUSY.)

# in_use_line MODE-NAME: what Orvane prints for a held printer found in that mode.
in_use_line() {
    echo "Printer in $1 mode is in use by another program"
}

# held_case "EMULATOR OPTIONS" "MODE NAME" SWITCH: Orvane SWITCH against the held printer prints
# the in-use line, exits 6, and the printer hears nothing.
held_case() {
    local options=$1 mode_name=$2 switch=$3
    # shellcheck disable=SC2086 # the options are words
    emulator_start $options
    orvane_run 30 "$switch"
    emulator_stop
    assert_exit 6
    assert_stdout "$(in_use_line "$mode_name")"
    assert_emulator_never_saw '^(write|write-failed|command|restart-begin) '
}

case_mode_names_the_mode_of_a_held_printer() {
    # Only the errors Wine gives a client can be played, each on its kind of pipe.
    emulator_refused '--refuse-command-opens 170'
    grep -q 'no client error 170 (ERROR_BUSY)' "$CASE_DIR/refused.err" ||
        fail "the refusal of 170 does not say why: $(<"$CASE_DIR/refused.err")"
    emulator_refused '--refuse-opens 2' '--refuse-command-opens x' \
        '--refuse-opens 5 --refuse-command-opens 5' '--refuse-opens 32 --also' \
        '--also --refuse-opens 5' '--refuse-opens 32 --fail-writes'
    held_case "--mode native --refuse-opens 32" "Native USB" MODE
    held_case "--mode printer --pid c318 --refuse-opens 5" "Printer Class USB" MODE
    held_case "--mode comm --pid c337 --refuse-opens 32" "Comm Class USB" MODE
}

# The probe traces as always; only its end differs from a printer that is absent.
case_probe_traces_the_refused_open() {
    listener_start
    held_case "--mode native --refuse-opens 32" "Native USB" MODE
    listener_stop
    local path records
    path=$(emulator_path native)
    records=$(trace_records)
    grep -qF "completeDeviceName=${path//\\/\\\\}\\\\PIPE00\\n" <<<"$records" ||
        fail "no trace of the open of $path\\PIPE00"
    grep -qF ') CreateFile: Error=32\n' <<<"$records" ||
        fail "no trace of the refused open (CreateFile: Error=32)"
}

case_change_to_a_held_printer_sends_nothing() {
    held_case "--mode native --refuse-opens 5" "Native USB" PRINTERCLASS
    held_case "--mode native --refuse-opens 32" "Native USB" COMMCLASS
    held_case "--mode comm --refuse-opens 5" "Comm Class USB" NATIVE
}

# Only the command pipe is held: the probe finds the mode, the change cannot open PIPE01.
case_change_with_the_command_pipe_held() {
    held_case "--mode native --refuse-command-opens 5" "Native USB" COMMCLASS
    assert_emulator_saw '^open PIPE00 native$'
    assert_emulator_never_saw '^open PIPE01 '
    held_case "--mode printer --refuse-command-opens 32" "Printer Class USB" NATIVE
}

# MODE opens no command pipe, so a held command pipe changes nothing for it.
case_mode_with_the_command_pipe_held_reports_as_always() {
    emulator_start --mode native --refuse-command-opens 5
    orvane_run 30 MODE
    emulator_stop
    assert_exit 0
    assert_stdout "Native USB"
    assert_emulator_saw '^open PIPE00 native$'
}

# A held printer beside a free one: the chosen held printer is in use, the other stays untouched.
case_chosen_held_printer_beside_a_free_one() {
    emulator_start --mode native --also --mode printer --pid c318 --refuse-opens 32
    orvane_run 30 PRINTER=2 COMMCLASS
    emulator_stop
    assert_exit 6
    assert_stdout "$(in_use_line "Printer Class USB")"
    assert_emulator_never_saw ': (write|write-failed|command|restart-begin) '
    assert_emulator_never_saw '^ORVEMU0001: open PIPE01 '
}
