# Strings from the registry are shown escaped: a port name that a driver wrote with a tab, an
# escape sequence, a backslash and a byte above ASCII (0xE9, "é" in the ANSI code page) shows
# each of them as \xNN, so the line stays one line of plain text. The emulator takes the port
# in the printer's text form, with C escapes.

raw_port='CO\tM\e[31m\\7\xE9'
shown_port='CO\x09M\x1B[31m\x5C7\xE9'
id1='USB\VID_6B1F&PID_C302\ORVEMU0001'

case_mode_shows_the_port_escaped() {
    emulator_start --mode comm --port "$raw_port"
    orvane_run 30 MODE
    emulator_stop
    assert_exit 0
    assert_stdout "Comm Class USB = $shown_port"
}

case_list_shows_the_port_escaped_in_its_field() {
    emulator_start --mode comm --port "$raw_port"
    orvane_run 30 LIST
    emulator_stop
    assert_exit 0
    assert_stdout $'1\t'"$id1"$'\tComm Class USB\t'"$shown_port"
}

case_change_reports_the_port_escaped() {
    emulator_start --mode native --restart-ms 2000 --port "$raw_port"
    orvane_run 60 COMMCLASS
    emulator_stop
    assert_exit 0
    assert_stdout "Now set to Comm Class USB" "Comm Class USB virtual port = $shown_port"
}
