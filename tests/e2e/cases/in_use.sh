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

# The probe traces as always; only its end differs from a printer that is absent.
case_probe_traces_the_refused_open() {
    trace_next_run
    held_case "--mode native --refuse-opens 32" "Native USB" MODE
    local path records
    path=$(emulator_path native)
    records=$(trace_records)
    grep -qF "completeDeviceName=${path//\\/\\\\}\\\\PIPE00\\n" <<<"$records" ||
        fail "no trace of the open of $path\\PIPE00"
    grep -qF ') CreateFile: Error=32\n' <<<"$records" ||
        fail "no trace of the refused open (CreateFile: Error=32)"
}
