# Orvane.exe with no printer attached.

case_help_lists_the_switches() {
    emulator_purge
    orvane_run 30 HELP
    assert_exit 0
    assert_stdout "Command line switches" \
        $'HELP\t\tThis message' \
        $'NATIVE\t\tPut the printer into Native USB mode' \
        $'PRINTERCLASS\tPut the printer into Printer Class USB mode' \
        $'COMMCLASS\tPut the printer into Comm Class USB mode' \
        $'MODE\t\tDisplay the current USB mode setting' \
        $'<no switch>\tStart the GUI' \
        $'LIST\t\tList the attached printers: number, ID, mode and port' \
        $'PRINTER=<n|ID>\tWork on this printer: a LIST number, its ID or its serial number' \
        $'VERSION\t\tDisplay the program\'s version' \
        $'TRACE\t\tEcho the diagnostic trace on the standard error stream'
}

case_mode_reports_no_printer() {
    emulator_purge
    orvane_run 30 MODE
    assert_exit 2
    assert_stdout "Error opening USB"
}

case_two_modes_are_refused() {
    emulator_purge
    orvane_run 30 NATIVE COMMCLASS
    assert_exit 0
    assert_stdout "Cannot specify more than one USB communication mode"
}

case_switch_fails_at_once() {
    emulator_purge
    orvane_run 30 PRINTERCLASS
    assert_exit 2
    assert_stdout "Error opening USB"
    # Without a printer there is nothing to wait for: no restart wait may begin.
    assert_faster_than_ms 5000
}
