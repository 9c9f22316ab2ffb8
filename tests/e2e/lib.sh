# Shell functions shared by the end-to-end cases: the Wine prefix, the printer emulator, the
# debugger channel, running Orvane.exe, and assertions. Every Wine call is bounded.
#
# Set by CMake: E2E_ORVANE, E2E_EMULATOR, E2E_DRIVER (Windows executables),
# E2E_PREFIX (the shared Wine prefix), E2E_STATE (what the setup fixture left for the cases,
# and the silent Wine exits of this run), E2E_WORK (one folder per case is made under it).
# Optional: E2E_WINEDEBUG.

E2E_WINE_BOUND_S=${E2E_WINE_BOUND_S:-30}
E2E_READY_BOUND_S=${E2E_READY_BOUND_S:-20}
# The run this process belongs to: the process that runs the fixtures and the cases (ctest),
# unless E2E_OWNER names another (scripts/demo.sh names itself).
E2E_OWNER=${E2E_OWNER:-$PPID}

e2e_prefix_env() {
    export WINEPREFIX="$E2E_PREFIX"
    # E2E_WINEARCH=win32 with a 32-bit Orvane.exe and its tools in a 32-bit Wine.
    export WINEARCH=${E2E_WINEARCH:-win64}
    # E2E_WINEDEBUG=err+all, say, shows Wine's own errors when a case fails for no visible reason.
    export WINEDEBUG=${E2E_WINEDEBUG:--all}
    # No menu builder: a shortcut that a program makes (the MSI's) would otherwise become menu
    # entries and icons in the home folder of this machine's user, outside the prefix.
    export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
    if [[ -f "$E2E_STATE/display" ]]; then
        DISPLAY=$(<"$E2E_STATE/display")
        export DISPLAY
    fi
}

e2e_now_ms() {
    echo $(($(date +%s%N) / 1000000))
}

# Fails unless this process's run owns the prefix (prefix_setup.sh): a case left over from a
# killed run must not start Wine in the prefix of the run that took it over.
e2e_check_owner() {
    local owner
    owner=$(cat "$E2E_STATE/owner" 2>/dev/null)
    [[ "$owner" == "$E2E_OWNER" ]] ||
        fail "this run (pid $E2E_OWNER) does not own $E2E_PREFIX (its owner: ${owner:-none})"
}

# e2e_wine BOUND_S OUT ERR program args...: output goes to files, never to a pipe, since
# Wine's background processes would hold a pipe open.
e2e_wine() {
    local bound=$1 out=$2 err=$3
    shift 3
    e2e_check_owner
    # ORVANE_STDOUT=full|closed: standard output that takes nothing.
    case ${ORVANE_STDOUT:-} in
    full) timeout -k 5 "$bound" wine "$@" >/dev/full 2>"$err" ;;
    closed) timeout -k 5 "$bound" wine "$@" 2>"$err" >&- ;;
    *) timeout -k 5 "$bound" wine "$@" >"$out" 2>"$err" ;;
    esac
}

# ---- failures ------------------------------------------------------------------------------

E2E_BACKGROUND_PIDS=()

fail() {
    echo "FAIL: $*" >&2
    e2e_show_evidence >&2
    exit 1
}

e2e_show_file() {
    if [[ -s "$1" ]]; then
        echo "---- $1"
        cat -A "$1" | head -n 200
    fi
}

e2e_show_evidence() {
    e2e_show_file "$CASE_DIR/orvane.out"
    e2e_show_file "$CASE_DIR/orvane.err"
    e2e_show_file "$CASE_DIR/emulator.log"
    e2e_show_file "$CASE_DIR/emulator.err"
    e2e_show_file "$CASE_DIR/probe.out"
    e2e_show_file "$CASE_DIR/trace.log"
}

# Ends whatever a failed case left running: only the processes this case started, by pid.
e2e_end_background() {
    local pid
    for pid in "${E2E_BACKGROUND_PIDS[@]}"; do
        if kill -0 "$pid" 2>/dev/null; then
            kill -TERM "$pid" 2>/dev/null
            e2e_wait_for_exit "$pid" 10 || kill -KILL "$pid" 2>/dev/null
        fi
    done
}

# e2e_wait_for_exit PID BOUND_S: true once PID has ended, false if it outlived the bound.
e2e_wait_for_exit() {
    local pid=$1 bound_ms=$(($2 * 1000)) start
    start=$(e2e_now_ms)
    while kill -0 "$pid" 2>/dev/null; do
        (($(e2e_now_ms) - start < bound_ms)) || return 1
        sleep 0.1
    done
    wait "$pid" 2>/dev/null
    return 0
}

# e2e_wait_for_line FILE REGEX BOUND_S PID: waits for a matching line while PID lives.
e2e_wait_for_line() {
    local file=$1 regex=$2 bound_ms=$(($3 * 1000)) pid=$4 start
    start=$(e2e_now_ms)
    until grep -Eq "$regex" "$file" 2>/dev/null; do
        kill -0 "$pid" 2>/dev/null || return 1
        (($(e2e_now_ms) - start < bound_ms)) || return 1
        sleep 0.1
    done
}

e2e_begin_case() {
    CASE_DIR="$E2E_WORK/$1"
    rm -rf "$CASE_DIR"
    mkdir -p "$CASE_DIR"
    e2e_prefix_env
    trap e2e_end_background EXIT
}

# ---- tools in the background ---------------------------------------------------------------

# e2e_start_tool NAME EXE LOG OPTION...: starts a tool in the background, bounded by its own
# lifetime and by timeout, and returns once LOG says it is ready. Sets E2E_STARTED_PID.
e2e_start_tool() {
    local name=$1 exe=$2 log=$3 lifetime=${E2E_TOOL_LIFETIME_S:-120}
    shift 3
    local attempt code
    e2e_check_owner
    for attempt in 1 2; do
        # A log left by an earlier run of the tool would say "ready" before this one is.
        rm -f "$log"
        timeout -k 5 $((lifetime + 10)) wine "$exe" "$@" --lifetime-s "$lifetime" \
            >"$CASE_DIR/$name.out" 2>"$CASE_DIR/$name.err" &
        E2E_STARTED_PID=$!
        E2E_BACKGROUND_PIDS+=("$E2E_STARTED_PID")
        e2e_wait_for_line "$log" '^[0-9]+ ready$' "$E2E_READY_BOUND_S" "$E2E_STARTED_PID" &&
            return 0
        # Wine's rare end of a process before it runs a line of it (see orvane_run) hits a
        # tool too (one that always says why it fails): a start that ended without a word is
        # made once more.
        kill -0 "$E2E_STARTED_PID" 2>/dev/null && break
        wait "$E2E_STARTED_PID"
        code=$?
        ((attempt == 1)) && [[ ! -s "$CASE_DIR/$name.out" && ! -s "$CASE_DIR/$name.err" &&
            ! -s "$log" ]] || break
        echo "note: Wine ended $name (exit $code) before it ran a line; starting it again" >&2
    done
    fail "$name did not get ready (options: $*)"
}

# e2e_stop_tool NAME EXE PID: asks the tool to stop (--stop) and waits, bounded, for its end.
e2e_stop_tool() {
    local name=$1 exe=$2 pid=$3
    e2e_wine "$E2E_WINE_BOUND_S" "$CASE_DIR/$name-stop.out" "$CASE_DIR/$name-stop.err" \
        "$exe" --stop || fail "$name --stop failed"
    e2e_wait_for_exit "$pid" 15 || fail "$name did not stop"
}

# ---- the printer emulator ------------------------------------------------------------------

# emulator_start [emulator options...]: returns once it serves; its log is
# $CASE_DIR/emulator.log.
emulator_start() {
    e2e_start_tool emulator "$E2E_EMULATOR" "$CASE_DIR/emulator.log" \
        --log "$(winepath_of "$CASE_DIR/emulator.log")" "$@"
    EMULATOR_PID=$E2E_STARTED_PID
}

emulator_stop() {
    e2e_stop_tool emulator "$E2E_EMULATOR" "$EMULATOR_PID"
    grep -Eq '^[0-9]+ stopped$' "$CASE_DIR/emulator.log" || fail "the emulator did not stop cleanly"
}

# No printer at all: removes whatever a killed emulator may have left registered.
emulator_purge() {
    e2e_wine "$E2E_WINE_BOUND_S" "$CASE_DIR/purge.out" "$CASE_DIR/purge.err" \
        "$E2E_EMULATOR" --purge || fail "PrinterEmulator.exe --purge failed"
}

# emulator_path MODE: the device path under which the emulator listed the printer in MODE.
emulator_path() {
    emulator_events | sed -nE "s/^up $1 //p" | tail -n 1
}

# The emulator's events without their times: "open PIPE00 native", ...
emulator_events() {
    sed -E 's/^[0-9]+ //' "$CASE_DIR/emulator.log"
}

# emulator_times REGEX: the times (ms) of the events that match.
emulator_times() {
    awk -v regex="$1" '{ t = $1; sub(/^[0-9]+ /, ""); if ($0 ~ regex) print t }' \
        "$CASE_DIR/emulator.log"
}

# emulator_writes PIPE: the bytes of each write the emulator took on PIPE, one write a line.
emulator_writes() {
    emulator_events | sed -nE "s/^write $1 //p"
}

# With two printers (--also), every event of a printer reads "<ms> <serial>: <event>".

# emulator_events_of SERIAL: that printer's events without their times and its name:
# "write PIPE01 1D FF", ...
emulator_events_of() {
    sed -nE "s/^[0-9]+ $1: //p" "$CASE_DIR/emulator.log"
}

# emulator_writes_of SERIAL PIPE: the bytes of each write that printer took on PIPE, one a line.
emulator_writes_of() {
    emulator_events_of "$1" | sed -nE "s/^write $2 //p"
}

# emulator_path_of SERIAL MODE: the device path under which that printer was last listed in MODE.
emulator_path_of() {
    emulator_events_of "$1" | sed -nE "s/^up $2 //p" | tail -n 1
}

# emulator_wait_for_event_of SERIAL REGEX BOUND_S: waits until that printer logs an event that
# REGEX matches from its start.
emulator_wait_for_event_of() {
    e2e_wait_for_line "$CASE_DIR/emulator.log" "^[0-9]+ $1: $2" "$3" "$EMULATOR_PID"
}

# emulator_refused OPTIONS...: the emulator rejects each of these as bad arguments (exit 2), as
# a printer it cannot play; the last one's message is in $CASE_DIR/refused.err.
emulator_refused() {
    local options
    for options in "$@"; do
        # shellcheck disable=SC2086 # the options are meant to split
        e2e_wine "$E2E_WINE_BOUND_S" "$CASE_DIR/refused.out" "$CASE_DIR/refused.err" \
            "$E2E_EMULATOR" $options
        (($? == 2)) || fail "PrinterEmulator.exe $options was not refused"
    done
}

# ---- the debugger channel ------------------------------------------------------------------

# trace_next_run: the next orvane_run also records Orvane.exe's OutputDebugStringA calls, as
# Wine's debug channel shows them, in $CASE_DIR/trace.log instead of its standard error.
trace_next_run() {
    ORVANE_TRACED=1
}

# The traced strings, one a line, escaped by Wine (\\ \n \xNN); Wine cuts a string near 300
# characters and then ends it with "...".
trace_records() {
    sed -nE 's/^[0-9a-f]+:warn:debugstr:OutputDebugStringA "(.*)"(\.\.\.)?$/\1\2/p' \
        "$CASE_DIR/trace.log"
}

# ---- the event log -------------------------------------------------------------------------

# eventlog_next_run: the next orvane_run also records the events Orvane.exe reports, as Wine's
# eventlog channel shows them (information as trace, warning as warn, error as err lines), in
# $CASE_DIR/eventlog.log instead of its standard error.
eventlog_next_run() {
    ORVANE_LOGGED=1
}

# The reported events, one a line: "<info|warning|error> <text>".
eventlog_records() {
    sed -nE 's/^[0-9a-f]+:(trace|warn|err):eventlog:ReportEventW L"(.*)"$/\1 \2/p' \
        "$CASE_DIR/eventlog.log" |
        sed -E 's/^trace /info /; s/^warn /warning /; s/^err /error /' |
        sed -E 's/\\\\/\x01/g; s/\\"/"/g; s/\x01/\\/g'
}

# ---- Orvane.exe ----------------------------------------------------------------------------

# orvane_run BOUND_S switches...: sets ORVANE_RC and ORVANE_MS (wall time); the output is in
# $CASE_DIR/orvane.out and orvane.err. After cut_next_run the run is meant to be ended at its
# bound (a long wait watched for its first seconds): ending before it is then the failure.
orvane_run() {
    local bound=$1 start
    shift
    start=$(e2e_now_ms)
    # Only Orvane.exe's own debug channel, for this run alone.
    local -x WINEDEBUG=$WINEDEBUG
    ((${ORVANE_TRACED:-0})) && WINEDEBUG=-all,warn+debugstr
    ((${ORVANE_LOGGED:-0})) && WINEDEBUG+=,trace+eventlog,warn+eventlog,err+eventlog
    e2e_wine "$bound" "$CASE_DIR/orvane.out" "$CASE_DIR/orvane.err" "$E2E_ORVANE" "$@"
    ORVANE_RC=$?
    # Very rarely (a few times in thousands of runs) Wine ends a process with 1 before it runs
    # a line of it. Orvane's own exit code 1 always comes with a message on stderr, so a silent 1
    # is Wine's: keep what the first attempt left and start it once more, once per suite run.
    if ((ORVANE_RC == 1)) && [[ ! -s "$CASE_DIR/orvane.out" && ! -s "$CASE_DIR/orvane.err" ]]; then
        local retries="$E2E_STATE/wine-retries" aside count
        echo "$(basename "$CASE_DIR"): Orvane.exe $*" >>"$retries"
        count=$(wc -l <"$retries")
        aside="$CASE_DIR/first-attempt-$count"
        mkdir -p "$aside"
        find "$CASE_DIR" -maxdepth 1 -type f -exec cp -p {} "$aside/" \;
        echo "note: Wine ended Orvane.exe $* with exit code 1 before it ran a line" \
            "(silent exit $count of this suite run); the first attempt's files are in $aside" >&2
        ((count < 2)) ||
            fail "Wine ended Orvane.exe silently twice in this suite run (see $retries);" \
                "a second one is not retried"
        echo "note: starting Orvane.exe $* again" >&2
        start=$(e2e_now_ms)
        e2e_wine "$bound" "$CASE_DIR/orvane.out" "$CASE_DIR/orvane.err" "$E2E_ORVANE" "$@"
        ORVANE_RC=$?
    fi
    ORVANE_MS=$(($(e2e_now_ms) - start))
    if ((${ORVANE_TRACED:-0})); then
        ORVANE_TRACED=0
        grep -E '^[0-9a-f]+:warn:debugstr:' "$CASE_DIR/orvane.err" >"$CASE_DIR/trace.log" || true
        sed -i -E '/^[0-9a-f]+:warn:debugstr:/d' "$CASE_DIR/orvane.err"
    fi
    if ((${ORVANE_LOGGED:-0})); then
        ORVANE_LOGGED=0
        grep -E '^[0-9a-f]+:[a-z]+:eventlog:' "$CASE_DIR/orvane.err" >"$CASE_DIR/eventlog.log" || true
        sed -i -E '/^[0-9a-f]+:[a-z]+:eventlog:/d' "$CASE_DIR/orvane.err"
    fi
    if ((${ORVANE_CUT:-0})); then
        ORVANE_CUT=0
        ((ORVANE_RC == 124 || ORVANE_RC == 137)) ||
            fail "Orvane.exe $* ended (exit $ORVANE_RC) before it was cut at ${bound}s"
        return
    fi
    ((ORVANE_RC != 124 && ORVANE_RC != 137)) || fail "Orvane.exe $* did not end within ${bound}s"
}

cut_next_run() {
    ORVANE_CUT=1
}

# ---- assertions ----------------------------------------------------------------------------

# assert_stdout LINE...: Orvane's standard output is exactly these lines, each ended by CR LF
# as the Windows console runtime writes them.
assert_stdout() {
    # No lines at all is an empty file, not one empty line.
    if (($#)); then printf '%s\r\n' "$@"; fi >"$CASE_DIR/expected.out"
    cmp -s "$CASE_DIR/expected.out" "$CASE_DIR/orvane.out" || {
        echo "---- expected stdout" >&2
        cat -A "$CASE_DIR/expected.out" >&2
        fail "Orvane.exe printed something else than expected"
    }
}

# assert_stdout_ends_with LINE...: the last lines of Orvane's output are exactly these.
assert_stdout_ends_with() {
    printf '%s\r\n' "$@" >"$CASE_DIR/expected.out"
    local want have
    want=$(wc -c <"$CASE_DIR/expected.out")
    have=$(wc -c <"$CASE_DIR/orvane.out")
    if ((have < want)) ||
        ! cmp -s "$CASE_DIR/expected.out" <(tail -c "$want" "$CASE_DIR/orvane.out"); then
        echo "---- expected the output to end with" >&2
        cat -A "$CASE_DIR/expected.out" >&2
        fail "Orvane.exe's output ends differently"
    fi
}

assert_exit() {
    [[ "$ORVANE_RC" == "$1" ]] || fail "Orvane.exe exited with $ORVANE_RC, expected $1"
}

assert_faster_than_ms() {
    ((ORVANE_MS < $1)) || fail "Orvane.exe took ${ORVANE_MS} ms, expected under $1 ms"
}

# assert_between WHAT VALUE LOW HIGH
assert_between() {
    [[ "$2" =~ ^-?[0-9]+$ ]] || fail "$1: '$2' is not a number"
    (($2 >= $3 && $2 <= $4)) || fail "$1 is $2, expected $3 to $4"
}

assert_equal() {
    [[ "$2" == "$3" ]] || fail "$1 is '$3', expected '$2'"
}

# The log is read whole before grep: under pipefail, `grep -q` closing the pipe early would fail
# the writer at random.
assert_emulator_saw() {
    grep -Eq "$1" <<<"$(emulator_events)" || fail "the emulator log has no event matching /$1/"
}

assert_emulator_never_saw() {
    local found
    found=$(emulator_events | grep -E "$1" | head -n 3)
    [[ -z "$found" ]] || fail "the emulator saw /$1/: $found"
}

# ---- paths ---------------------------------------------------------------------------------

# The Windows spelling of a Unix path, for options of the Windows tools (drive Z: is /).
winepath_of() {
    printf 'Z:%s' "${1//\//\\}"
}
