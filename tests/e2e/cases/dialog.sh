# The dialog face under Xvfb, driven from outside by DialogDriver.exe as a user would.

main_caption="Orvane v1.0.0.8"
wait_caption="Please allow time for Windows to change USB modes."

# Starts Orvane.exe without switches in the background; its exit code comes from dialog_end.
dialog_start() {
    [[ -n "${DISPLAY:-}" ]] || fail "no X display for the dialog"
    e2e_check_owner
    timeout -k 5 120 wine "$E2E_ORVANE" >"$CASE_DIR/orvane.out" 2>"$CASE_DIR/orvane.err" &
    ORVANE_PID=$!
    E2E_BACKGROUND_PIDS+=("$ORVANE_PID")
    DRIVER_RUN=0
}

# driver STEP...: runs DialogDriver.exe with these steps; fails the case on the first failed
# step. Each run's report is kept as driver-<n>.out.
driver() {
    DRIVER_RUN=$((DRIVER_RUN + 1))
    local out="$CASE_DIR/driver-$DRIVER_RUN.out"
    e2e_wine 90 "$out" "$CASE_DIR/driver-$DRIVER_RUN.err" "$E2E_DRIVER" "$@" ||
        fail "dialog driver: $(tr -d '\r' <"$out" | grep -E '^FAIL' | head -n 1)"
}

# Closes the dialog with Close and checks that the process ends with the framework's code 0.
dialog_close() {
    driver find "$main_caption" 10000 click 1 wait-closed 10000
    e2e_wait_for_exit "$ORVANE_PID" 20 || fail "Orvane.exe did not end after Close"
    wait "$ORVANE_PID"
    local rc=$?
    [[ $rc == 0 ]] || fail "Orvane.exe ended with $rc after Close"
}

# screenshot NAME: the whole screen as $CASE_DIR/NAME.png, a build artefact.
screenshot() {
    timeout 30 import -window root "$CASE_DIR/$1.png" >/dev/null 2>&1 ||
        fail "could not take the screenshot $1"
}

# The main dialog's window carries Orvane's own icon as the X window manager reads it: Wine
# fills _NET_WM_ICON from the big icon WM_SETICON gave the window (without one it shows its
# default). Compared pixel by pixel with the 32 x 32 image the build drew.
assert_dialog_icon() {
    timeout 10 xprop -name "$main_caption" -f _NET_WM_ICON 32c _NET_WM_ICON \
        >"$CASE_DIR/icon.txt" 2>&1 ||
        fail "no icon on the dialog's window: $(head -c 200 "$CASE_DIR/icon.txt")"
    local problem resources
    resources="$(dirname "${BASH_SOURCE[0]}")/../../../gui/resources"
    problem=$(python3 -B - "$CASE_DIR/icon.txt" "$resources" <<'EOF'
import re
import sys
sys.path.insert(0, sys.argv[2])
import make_icon
# "width, height, pixels..." for each image: the first is the big icon.
values = [int(v) for v in re.findall(r'\d+', open(sys.argv[1]).read().partition('=')[2])]
if values[:2] != [32, 32] or len(values) < 2 + 32 * 32:
    sys.exit(print(f'no 32 x 32 image first: {values[:2]}'))
drawn = [c for row in make_icon.printer(32) for c in row]
for n, (colour, pixel) in enumerate(zip(drawn, values[2:])):
    if colour is None:
        wrong = pixel >> 24 != 0
    else:
        r, g, b = make_icon.PALETTE[colour]
        wrong = pixel != (0xFF << 24 | r << 16 | g << 8 | b)
    if wrong:
        sys.exit(print(f'pixel {n} is {pixel:08x}'))
EOF
    ) || fail "could not read the dialog's icon"
    [[ -z "$problem" ]] || fail "the dialog's icon: $problem"
}

case_shows_the_current_mode() {
    emulator_start --mode comm
    dialog_start
    driver find "$main_caption" 20000 expect-text 1000 "Comm Class USB = COM7" \
        expect-checked 1004 1 expect-checked 1002 0 expect-checked 1003 0 \
        expect-text 2 Change expect-enabled 2 1 expect-text 1 Close
    assert_dialog_icon
    screenshot dialog-comm-class
    dialog_close
    emulator_stop
    assert_emulator_never_saw '^(write|write-failed) '
}

case_changes_mode_with_the_wait_window() {
    # The wait window has to outlast a screenshot and a new driver; E2E_DIALOG_RESTART_MS gives
    # a slower machine (an emulated guest) a printer that takes longer to come back.
    emulator_start --mode native --restart-ms "${E2E_DIALOG_RESTART_MS:-3000}"
    dialog_start
    driver find "$main_caption" 20000 expect-text 1000 "Native USB" expect-checked 1002 1 \
        click 1004 click 2 wait-window "$wait_caption" 10000
    screenshot dialog-waiting
    driver find "$main_caption" 5000 expect-text 2 Changing expect-enabled 2 0 \
        wait-text 1000 "Comm Class USB = COM7" 30000 wait-gone "$wait_caption" 5000 \
        expect-enabled 2 1 expect-text 2 Change expect-checked 1004 1
    screenshot dialog
    dialog_close
    emulator_stop
    assert_equal "the writes on PIPE01" "$(printf '%s\n' "1F 0B 4E 1F 43 02" "1D FF")" \
        "$(emulator_writes PIPE01)"
    local times
    mapfile -t times < <(emulator_times '^write PIPE01 ')
    assert_between "the time between the two writes (ms)" $((times[1] - times[0])) 0 600
    assert_emulator_saw '^up comm '
}

case_escape_starts_a_change() {
    emulator_start --mode native --restart-ms 2000
    dialog_start
    driver find "$main_caption" 20000 click 1003 escape 1003 \
        wait-text 1000 "Printer Class USB" 30000 expect-enabled 2 1
    dialog_close
    emulator_stop
    assert_emulator_saw '^write PIPE01 1F 0B 4E 1F 43 01$'
    assert_emulator_saw '^up printer '
}

case_printer_gone_shows_an_error() {
    emulator_purge
    dialog_start
    driver find "$main_caption" 20000 expect-text 1000 "Error opening USB" expect-checked 1002 1
    dialog_close
}

held_native="Printer in Native USB mode is in use by another program"

case_held_printer_shows_in_use() {
    emulator_start --mode native --refuse-opens 32
    dialog_start
    driver find "$main_caption" 20000 expect-text 1000 "$held_native"
    dialog_close
    emulator_stop
    assert_emulator_never_saw '^(write|write-failed) '
}

# The mode is found; the change cannot open the command pipe and says so in the status line.
case_change_with_the_command_pipe_held_shows_in_use() {
    emulator_start --mode native --refuse-command-opens 5
    dialog_start
    driver find "$main_caption" 20000 expect-text 1000 "Native USB" click 1004 click 2 \
        wait-text 1000 "$held_native" 15000
    dialog_close
    emulator_stop
    assert_emulator_never_saw '^(open PIPE01|write|write-failed|restart-begin) '
}

# ---- several printers: the chooser (control 1005, made only with two printers or more) -------

chooser=1005
first_id='USB\VID_6B1F&PID_C302\ORVEMU0001'
second_id='USB\VID_6B1F&PID_C318\ORVEMU0003'

# emulator_plug plug|unplug N: the running emulator's printer N arrives or leaves.
emulator_plug() {
    e2e_wine "$E2E_WINE_BOUND_S" "$CASE_DIR/$1-$2.out" "$CASE_DIR/$1-$2.err" \
        "$E2E_EMULATOR" "--$1" "$2" || fail "PrinterEmulator.exe --$1 $2 failed"
}

case_chooser_changes_the_second_printer_only() {
    emulator_start --mode native --also --mode printer --pid c318 --port COM8 --restart-ms 2000
    dialog_start
    driver find "$main_caption" 20000 expect-text 1000 "Native USB" \
        wait-entries $chooser 2 5000 wait-choice $chooser "1  $first_id - Native USB" 0 \
        choose $chooser 1 wait-text 1000 "Printer Class USB" 10000 expect-checked 1003 1 \
        click 1004 click 2 wait-text 1000 "Comm Class USB = COM8" 30000 \
        wait-choice $chooser "2  $second_id - Comm Class USB = COM8" 10000 expect-enabled 2 1
    screenshot dialog-two-printers
    dialog_close
    emulator_stop
    assert_equal "printer 2's writes on PIPE01" "$(printf '%s\n' "1F 0B 4E 1F 43 02" "1D FF")" \
        "$(emulator_writes_of ORVEMU0003 PIPE01)"
    [[ -z "$(emulator_events_of ORVEMU0001 | grep -E '^(write|restart-begin)')" ]] ||
        fail "printer 1 heard the command"
}

case_chooser_appears_when_a_second_printer_arrives() {
    emulator_start --mode native --also --mode comm --pid c318 --port COM8 --unplugged
    dialog_start
    driver find "$main_caption" 20000 expect-text 1000 "Native USB" wait-entries $chooser 0 0
    emulator_plug plug 2
    driver find "$main_caption" 5000 wait-entries $chooser 2 15000 \
        wait-choice $chooser "1  $first_id - Native USB" 0 expect-text 1000 "Native USB"
    emulator_plug unplug 2
    driver find "$main_caption" 5000 wait-entries $chooser 0 15000 expect-text 1000 "Native USB"
    dialog_close
    emulator_stop
}

case_chosen_printer_unplugged_and_back() {
    emulator_start --mode native --also --mode comm --pid c318 --port COM8
    dialog_start
    driver find "$main_caption" 20000 wait-entries $chooser 2 5000 choose $chooser 1 \
        wait-text 1000 "Comm Class USB = COM8" 10000
    emulator_plug unplug 2
    driver find "$main_caption" 5000 wait-text 1000 "Error opening USB" 15000 \
        expect-checked 1004 1 wait-entries $chooser 0 5000
    emulator_plug plug 2
    driver find "$main_caption" 5000 wait-entries $chooser 2 15000 \
        wait-choice $chooser "2  $second_id - Comm Class USB = COM8" 0 \
        wait-text 1000 "Comm Class USB = COM8" 5000 expect-checked 1004 1
    dialog_close
    emulator_stop
    [[ -z "$(grep -E ': (write|restart-begin)' "$CASE_DIR/emulator.log")" ]] ||
        fail "a printer was written to"
}

# ---- display scales: Wine takes the display's DPI from HKCU\Control Panel\Desktop\LogPixels ---

# set_log_pixels DPI: the DPI of every Wine program started after it.
set_log_pixels() {
    e2e_wine "$E2E_WINE_BOUND_S" "$CASE_DIR/dpi-$1.out" "$CASE_DIR/dpi-$1.err" reg add \
        'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f ||
        fail "could not set LogPixels to $1"
}

# dialog_at_dpi DPI [SCREENSHOT]: the dialog with two printers, its chooser dropped, and the
# wait window, each laid out at DPI with nothing cut or covered; the cases after it get 96 back.
dialog_at_dpi() {
    trap 'set_log_pixels 96; e2e_end_background' EXIT
    set_log_pixels "$1"
    emulator_start --mode native --also --mode comm --pid c318 --port COM8 \
        --restart-ms "${E2E_DIALOG_RESTART_MS:-3000}"
    dialog_start
    driver find "$main_caption" 20000 wait-entries $chooser 2 5000 expect-layout 102 "$1" \
        drop $chooser 1 expect-layout 102 "$1"
    [[ -z "${2:-}" ]] || screenshot "$2"
    driver find "$main_caption" 5000 drop $chooser 0 click 1004 click 2 \
        wait-window "$wait_caption" 10000 find "$wait_caption" 0 expect-layout 130 "$1"
    driver find "$main_caption" 5000 wait-text 1000 "Comm Class USB = COM7" 30000
    dialog_close
    emulator_stop
}

case_lays_out_at_144_dpi() {
    dialog_at_dpi 144 dialog-144dpi
}

case_lays_out_at_192_dpi() {
    dialog_at_dpi 192
}
