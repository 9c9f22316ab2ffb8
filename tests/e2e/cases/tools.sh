# The test tools themselves, without Orvane: a broken emulator or listener would make every
# other case fail for the wrong reason, or pass when it should not.

native_class='{5e0a3c91-7d24-4b6f-9a18-c2d4e6f80b13}'
printer_class='{28d78fad-5a12-11d1-ae5b-0000f803a8c2}'
comm_class='{86e0d1e0-8089-11d0-9ce4-08003e301f73}'

case_listener_keeps_lines_whole() {
    listener_start
    e2e_wine 30 "$CASE_DIR/sender.out" "$CASE_DIR/sender.err" "$E2E_SENDER" \
        --line "short line" --fill 1000 --line $'tab\there \\ backslash' ||
        fail "DebugStringSender.exe failed"
    listener_stop

    local records pids long
    records=$(trace_records)
    pids=$(cut -d' ' -f1 <<<"$records" | sort -u)
    [[ "$pids" =~ ^[1-9][0-9]*$ ]] || fail "expected one sender pid, got '$pids'"
    long=$(printf '0123456789%.0s' $(seq 100))
    assert_equal "the records" \
        "$(printf '%s\n' "short line\\n" "$long\\n" 'tab\there \\ backslash\n')" \
        "$(cut -d' ' -f2- <<<"$records")"
}

case_emulator_lists_and_withdraws() {
    emulator_start --mode comm --pid c318 --port COM9 --foreign --dead
    local key='HKLM\System\CurrentControlSet\Control\DeviceClasses\{86E0D1E0-8089-11D0-9CE4-08003E301F73}'
    e2e_wine 30 "$CASE_DIR/classes.out" "$CASE_DIR/classes.err" reg query "$key"
    e2e_wine 30 "$CASE_DIR/ports.out" "$CASE_DIR/ports.err" \
        reg query 'HKLM\HARDWARE\DEVICEMAP\SERIALCOMM'
    local listed
    for listed in '##?#USB#VID_6B1F&PID_C318#ORVEMU0001#' '##?#USB#VID_6B1F&PID_C318#ORVEMU0000#' \
        '##?#USB#VID_1234&PID_5678#ORVEMU0002#'; do
        grep -qF "$listed" "$CASE_DIR/classes.out" || fail "$listed is not listed"
    done
    grep -Eq '\\Device\\QZMPUSBPort0 +REG_SZ +COM9' "$CASE_DIR/ports.out" ||
        fail "SERIALCOMM does not list COM9"

    local path="\\\\?\\usb#vid_6b1f&pid_c318#orvemu0001#$comm_class"
    assert_equal "the listed path" "$path" "$(emulator_path comm)"
    probe_run "$path"
    assert_probe "open ok"
    probe_run "$path\\PIPE00"
    assert_probe "open ok"
    assert_emulator_saw '^open PIPE00 comm$'
    probe_run "\\\\?\\usb#vid_6b1f&pid_c318#orvemu0000#$comm_class"
    assert_probe "open error 2"
    assert_emulator_never_saw '^open foreign'
    probe_run "\\\\?\\usb#vid_1234&pid_5678#orvemu0002#$native_class"
    assert_probe "open ok"
    assert_emulator_saw '^open foreign native$'

    emulator_stop
    e2e_wine 30 "$CASE_DIR/classes.out" "$CASE_DIR/classes.err" reg query "$key"
    e2e_wine 30 "$CASE_DIR/ports.out" "$CASE_DIR/ports.err" \
        reg query 'HKLM\HARDWARE\DEVICEMAP\SERIALCOMM'
    ! grep -qF 'ORVEMU' "$CASE_DIR/classes.out" || fail "interfaces are still listed after the stop"
    ! grep -qF 'QZMPUSBPort0' "$CASE_DIR/ports.out" || fail "SERIALCOMM still lists the port"
    probe_run "$path\\PIPE00"
    assert_probe "open error 3"
}

case_emulator_restarts_on_command() {
    emulator_start --mode native --restart-ms 1500
    local native printer
    native=$(emulator_path native)
    probe_run "$native\\PIPE01" --write 1F0B4E1F4301 --pause-ms 300 --write 1DFF
    assert_probe "open ok" "write ok" "write ok"
    assert_equal "the writes" "$(printf '%s\n' "1F 0B 4E 1F 43 01" "1D FF")" \
        "$(emulator_writes PIPE01)"
    e2e_wait_for_line "$CASE_DIR/emulator.log" '^[0-9]+ up printer ' 10 "$EMULATOR_PID" ||
        fail "the printer did not come back"
    printer=$(emulator_path printer)
    assert_equal "the path in printer class mode" \
        "\\\\?\\usb#vid_6b1f&pid_c302#orvemu0001#$printer_class" "$printer"
    local reset_at up_at
    reset_at=$(emulator_times '^reset$')
    up_at=$(emulator_times '^up printer ')
    assert_between "the time the printer was away (ms)" $((up_at - reset_at)) 1450 2500
    probe_run "$native\\PIPE00"
    assert_probe "open error 3"
    probe_run "$printer\\PIPE00"
    assert_probe "open ok"
    emulator_stop
}

case_emulator_fails_writes_on_request() {
    emulator_start --mode native --fail-writes --restart-ms 500
    probe_run "$(emulator_path native)\\PIPE01" --write 1F0B4E1F4302 --write 1DFF
    # ERROR_PIPE_NOT_CONNECTED: the emulator cut the connection after seeing the bytes.
    assert_probe "open ok" "write error 233" "write error 233"
    assert_emulator_saw '^write-failed PIPE01 1F 0B 4E 1F 43 02$'
    assert_emulator_never_saw '^write PIPE01'
    e2e_wait_for_line "$CASE_DIR/emulator.log" '^[0-9]+ up comm ' 10 "$EMULATOR_PID" ||
        fail "a command seen in a failed write did not restart the printer"
    emulator_stop
}

case_emulator_comes_back_as_told() {
    emulator_start --mode native --back-in comm --restart-ms 300
    probe_run "$(emulator_path native)\\PIPE01" --write 1F0B4E1F4301 --write 1DFF
    e2e_wait_for_line "$CASE_DIR/emulator.log" '^[0-9]+ up comm ' 10 "$EMULATOR_PID" ||
        fail "--back-in comm did not bring the printer back in comm class mode"
    assert_emulator_never_saw '^up printer'
    emulator_stop

    e2e_begin_case tools.emulator_comes_back_as_told.never
    emulator_start --mode native --never-back --restart-ms 300
    probe_run "$(emulator_path native)\\PIPE01" --write 1F0B4E1F4301 --write 1DFF
    e2e_wait_for_line "$CASE_DIR/emulator.log" '^[0-9]+ gone$' 10 "$EMULATOR_PID" ||
        fail "--never-back did not keep the printer away"
    assert_emulator_never_saw '^up printer'
    emulator_stop
}

case_emulator_stalls_writes() {
    emulator_start --mode native --stall-writes
    local native
    native=$(emulator_path native)
    probe_run "$native\\PIPE01" --bound-ms 1000 --write 1F0B4E1F4301
    assert_probe "open ok" "write timeout"
    assert_emulator_saw '^open PIPE01 native$'
    assert_emulator_saw '^write-stalled PIPE01 1F 0B 4E 1F 43 01$'
    assert_emulator_never_saw '^(write|command) '
    # The presence pipe still answers, and the printer never restarted.
    probe_run "$native\\PIPE00"
    assert_probe "open ok"
    emulator_stop
    assert_emulator_never_saw '^restart-begin'
}

case_emulator_names_the_port_in_the_device_key() {
    emulator_start --mode comm --serial Lab42 --port COM5
    device_list comm
    assert_equal "the comm class interfaces" \
        "\\\\?\\usb#vid_6b1f&pid_c302#lab42#$comm_class USB\\VID_6B1F&PID_C302\\LAB42 port=COM5" \
        "$(<"$CASE_DIR/devices.txt")"
    serialcomm_entries
    assert_equal "SERIALCOMM" '\Device\QZMPUSBPort0 COM5' "$(<"$CASE_DIR/serialcomm.txt")"
    # Killed, the emulator leaves its registrations behind; --purge finds them by the printer's
    # IDs whatever the serial.
    kill -TERM "$EMULATOR_PID"
    e2e_wait_for_exit "$EMULATOR_PID" 15 || fail "the emulator did not end on SIGTERM"
    device_list comm
    grep -q 'LAB42' "$CASE_DIR/devices.txt" || fail "the killed emulator left nothing to purge"
    emulator_purge
    device_list comm
    assert_equal "the interfaces after the purge" "" "$(<"$CASE_DIR/devices.txt")"
    serialcomm_entries
    assert_equal "SERIALCOMM after the purge" "" "$(<"$CASE_DIR/serialcomm.txt")"

    e2e_begin_case tools.emulator_names_the_port_in_the_device_key.serialcomm_only
    emulator_start --mode comm --no-device-port
    device_list comm
    # SetupDiOpenDevRegKey finds no Device Parameters key: ERROR_KEY_DOES_NOT_EXIST.
    assert_equal "the comm class interfaces" \
        "\\\\?\\usb#vid_6b1f&pid_c302#orvemu0001#$comm_class USB\\VID_6B1F&PID_C302\\ORVEMU0001 port-error=0xE0000204" \
        "$(<"$CASE_DIR/devices.txt")"
    serialcomm_entries
    assert_equal "SERIALCOMM" '\Device\QZMPUSBPort0 COM7' "$(<"$CASE_DIR/serialcomm.txt")"
    assert_emulator_never_saw '^device-port'
    emulator_stop
}

case_emulator_lists_two_printers() {
    local refused
    for refused in '--also --stall-writes' '--also --also' '--also --serial ORVEMU0001'; do
        # shellcheck disable=SC2086 # the options are meant to split
        e2e_wine 30 "$CASE_DIR/refused.out" "$CASE_DIR/refused.err" "$E2E_EMULATOR" $refused
        (($? == 2)) || fail "PrinterEmulator.exe $refused was not refused"
    done

    emulator_start --mode comm --port COM5 --also --mode comm --pid c318 --serial Second2 \
        --port COM6
    local first="\\\\?\\usb#vid_6b1f&pid_c302#orvemu0001#$comm_class"
    local second="\\\\?\\usb#vid_6b1f&pid_c318#second2#$comm_class"
    assert_equal "the first printer's path" "$first" "$(emulator_path_of ORVEMU0001 comm)"
    assert_equal "the second printer's path" "$second" "$(emulator_path_of SECOND2 comm)"
    device_list comm
    assert_equal "the comm class interfaces" \
        "$(printf '%s\n' "$first USB\\VID_6B1F&PID_C302\\ORVEMU0001 port=COM5" \
            "$second USB\\VID_6B1F&PID_C318\\SECOND2 port=COM6")" \
        "$(<"$CASE_DIR/devices.txt")"
    serialcomm_entries
    assert_equal "SERIALCOMM" \
        "$(printf '%s\n' '\Device\QZMPUSBPort0 COM5' '\Device\QZMPUSBPort1 COM6')" \
        "$(<"$CASE_DIR/serialcomm.txt")"
    emulator_stop
    assert_emulator_never_saw '^(up|port|device-port|withdrawn)'
    device_list comm
    assert_equal "the interfaces after the stop" "" "$(<"$CASE_DIR/devices.txt")"
    serialcomm_entries
    assert_equal "SERIALCOMM after the stop" "" "$(<"$CASE_DIR/serialcomm.txt")"
}

case_emulator_two_printers_restart_apart() {
    emulator_start --mode native --restart-ms 1500 --also --mode comm --restart-ms 300 --port COM6
    local first second
    first=$(emulator_path_of ORVEMU0001 native)
    second=$(emulator_path_of ORVEMU0003 comm)
    device_list comm
    assert_equal "the comm class interfaces" \
        "$second USB\\VID_6B1F&PID_C302\\ORVEMU0003 port=COM6" "$(<"$CASE_DIR/devices.txt")"

    # The second printer's command pipe is a mailslot: a client that opens it overlapped, as
    # one that bounds its writes does, has its writes completed.
    probe_run "$second\\PIPE01" --bound-ms 2000 --write 1F0B4E1F4301 --write 1DFF
    assert_probe "open ok" "write ok" "write ok"
    emulator_wait_for_event_of ORVEMU0003 'up printer ' 10 ||
        fail "the second printer did not come back in printer class mode"
    # A reset alone changes nothing.
    probe_run "$first\\PIPE01" --write 1DFF
    assert_probe "open ok" "write ok"
    assert_equal "the second printer's writes" "$(printf '%s\n' "1F 0B 4E 1F 43 01" "1D FF")" \
        "$(emulator_writes_of ORVEMU0003 PIPE01)"
    assert_equal "the first printer's writes" "1D FF" "$(emulator_writes_of ORVEMU0001 PIPE01)"
    assert_emulator_never_saw '^ORVEMU0001: (command|restart-begin)'

    probe_run "$first\\PIPE00"
    assert_probe "open ok"
    probe_run "$second\\PIPE00"
    assert_probe "open error 3"
    probe_run "$(emulator_path_of ORVEMU0003 printer)\\PIPE00"
    assert_probe "open ok"
    # Out of comm class mode, the printer's port is gone from its device key and SERIALCOMM.
    device_list comm
    assert_equal "the comm class interfaces after the change" "" "$(<"$CASE_DIR/devices.txt")"
    e2e_wine 30 "$CASE_DIR/reg.out" "$CASE_DIR/reg.err" reg query \
        'HKLM\System\CurrentControlSet\Enum\USB\VID_6B1F&PID_C302\ORVEMU0003\Device Parameters' &&
        fail "the second printer's device key still has Device Parameters"
    serialcomm_entries
    assert_equal "SERIALCOMM after the change" "" "$(<"$CASE_DIR/serialcomm.txt")"
    emulator_stop
    # A mailslot's owner cannot see opens and closes.
    assert_emulator_never_saw '^ORVEMU0003: (open|close) '
    assert_emulator_saw '^ORVEMU0001: open PIPE00 native$'
}

# emulator_refused OPTIONS...: the emulator rejects these options as bad arguments.
emulator_refused() {
    local options
    for options in "$@"; do
        # shellcheck disable=SC2086 # the options are meant to split
        e2e_wine 30 "$CASE_DIR/refused.out" "$CASE_DIR/refused.err" "$E2E_EMULATOR" $options
        (($? == 2)) || fail "PrinterEmulator.exe $options was not refused"
    done
}

# A held printer: its bare path opens, its pipes refuse a client that reads and writes with the
# error asked for (5 through named pipes, 32 through mailslots), and nothing reaches it.
case_emulator_refuses_opens_as_held() {
    emulator_refused '--refuse-command-opens 170'
    grep -q 'no client error 170 (ERROR_BUSY)' "$CASE_DIR/refused.err" ||
        fail "the refusal of 170 does not say why: $(<"$CASE_DIR/refused.err")"
    emulator_refused '--refuse-opens 2' '--refuse-command-opens x' \
        '--refuse-opens 5 --refuse-command-opens 5' '--refuse-opens 32 --also' \
        '--also --refuse-opens 5' '--refuse-opens 32 --fail-writes'
    local error path
    for error in 5 32; do
        emulator_start --mode native --refuse-opens "$error"
        path=$(emulator_path native)
        probe_run "$path"
        assert_probe "open ok"
        probe_run "$path\\PIPE00"
        assert_probe "open error $error"
        probe_run "$path\\PIPE01" --write 1F0B4E1F4301
        assert_probe "open error $error"
        emulator_stop
        assert_emulator_saw "^start .* refuse-opens=$error"
        assert_emulator_never_saw '^(open|write|write-failed|command|restart-begin) '
    done
}

# Only the command pipe is held: the printer answers on PIPE00 as always.
case_emulator_refuses_command_opens_as_held() {
    local error path
    for error in 5 32; do
        emulator_start --mode printer --refuse-command-opens "$error"
        path=$(emulator_path printer)
        probe_run "$path\\PIPE00"
        assert_probe "open ok"
        probe_run "$path\\PIPE01" --write 1F0B4E1F4300
        assert_probe "open error $error"
        emulator_stop
        assert_emulator_saw "^start .* refuse-command-opens=$error"
        assert_emulator_never_saw '^(open PIPE01|write|write-failed|command|restart-begin) '
    done
    # Named pipes (error 5) see the probe's open of PIPE00.
    emulator_start --mode native --refuse-command-opens 5
    probe_run "$(emulator_path native)\\PIPE00"
    assert_probe "open ok"
    emulator_stop
    assert_emulator_saw '^open PIPE00 native$'
}

# Held printers side by side: the first on mailslots (32), the second on named pipes (5).
case_emulator_two_held_printers() {
    emulator_start --mode native --refuse-opens 32 --also --mode comm --refuse-command-opens 5
    local first second
    first=$(emulator_path_of ORVEMU0001 native)
    second=$(emulator_path_of ORVEMU0003 comm)
    probe_run "$first\\PIPE00"
    assert_probe "open error 32"
    probe_run "$second\\PIPE00"
    assert_probe "open ok"
    probe_run "$second\\PIPE01"
    assert_probe "open error 5"
    emulator_stop
    assert_emulator_saw '^ORVEMU0003: open PIPE00 comm$'
    assert_emulator_never_saw ': (write|open PIPE01)'
}

# One serial under two product IDs: two instance IDs, two sets of paths, each printer hears
# only its own writes. Its log lines name serial and product ID.
case_emulator_two_printers_share_a_serial() {
    emulator_start --mode comm --port COM5 --also --mode comm --serial ORVEMU0001 --pid c318 \
        --port COM6
    local first="\\\\?\\usb#vid_6b1f&pid_c302#orvemu0001#$comm_class"
    local second="\\\\?\\usb#vid_6b1f&pid_c318#orvemu0001#$comm_class"
    assert_equal "the first printer's path" "$first" "$(emulator_path_of ORVEMU0001@C302 comm)"
    assert_equal "the second printer's path" "$second" "$(emulator_path_of ORVEMU0001@C318 comm)"
    device_list comm
    assert_equal "the comm class interfaces" \
        "$(printf '%s\n' "$first USB\\VID_6B1F&PID_C302\\ORVEMU0001 port=COM5" \
            "$second USB\\VID_6B1F&PID_C318\\ORVEMU0001 port=COM6")" \
        "$(<"$CASE_DIR/devices.txt")"
    probe_run "$second\\PIPE01" --write 1DFF
    assert_probe "open ok" "write ok"
    probe_run "$first\\PIPE00"
    assert_probe "open ok"
    emulator_stop
    assert_equal "the second printer's writes" "1D FF" "$(emulator_writes_of ORVEMU0001@C318 PIPE01)"
    assert_equal "the first printer's writes" "" "$(emulator_writes_of ORVEMU0001@C302 PIPE01)"
    assert_emulator_saw '^ORVEMU0001@C302: open PIPE00 comm$'
}

# A port name is whatever a driver wrote to the registry: control bytes, a backslash and bytes
# above ASCII reach PortName and SERIALCOMM as they are.
case_emulator_port_name_carries_any_bytes() {
    local port=$'CO\tM\e[31m\\7'é
    emulator_start --mode comm --port "$port"
    device_list comm
    emulator_stop
    # Wine hands the emulator its arguments in the ANSI code page (1252): "é" arrives as 0xE9.
    assert_equal "the comm class interface" \
        "$(emulator_path comm) USB\\VID_6B1F&PID_C302\\ORVEMU0001 port=CO"$'\tM\e[31m\\7\xe9' \
        "$(<"$CASE_DIR/devices.txt")"
    assert_emulator_saw "^port CO"
}
