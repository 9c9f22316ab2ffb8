# A row of the table of cases (tests/cases/orvane.cases) against the emulator: its printers in
# the description's text form, one after another with --also, Orvane.exe with the row's words,
# then the row's lines (or its JSON document, by tests/cases/check_json.py), exit code, writes,
# gaps and run time, and its emulator log lines.

# row_read NAME: the row's lines for Windows into ROW_* (escapes decoded where Orvane sees them).
row_read() {
    local name=$1 line key rest inside=0 found=0
    ROW_PRINTERS=() ROW_RUN=() ROW_OUT=() ROW_ERR=() ROW_SENT=() ROW_GAPS=() ROW_EMULATOR=()
    ROW_SAW=() ROW_NEVER=() ROW_JSON=() ROW_LOGGED=() ROW_CHECKS_LOG=0 ROW_EXIT=0 ROW_TOOK=""
    ROW_SLOW=0 ROW_STDOUT=""
    while IFS= read -r line; do
        [[ -z "$line" || "$line" == \#* ]] && continue
        key=${line%% *}
        rest=${line#"$key"}
        rest=${rest# }
        if [[ "$key" == case ]]; then
            inside=0
            [[ "$rest" == "$name" ]] && inside=1 found=1
            continue
        fi
        ((inside)) || continue
        case $key in
        printer) ROW_PRINTERS+=("$rest") ;;
        run) read -ra ROW_RUN <<<"$rest" ;;
        out | out-windows) ROW_OUT+=("$(printf '%b' "$rest")") ;;
        err | err-windows) ROW_ERR+=("$(printf '%b' "$rest")") ;;
        json | json-windows) ROW_JSON+=("$rest") ;;
        stdout) ROW_STDOUT=$rest ;;
        exit) ROW_EXIT=$rest ;;
        sent) ROW_SENT+=("$rest") ;;
        gap) ROW_GAPS+=("$rest") ;;
        took) ROW_TOOK=$rest ;;
        slow) ROW_SLOW=1 ;;
        emulator) read -ra ROW_EMULATOR <<<"$rest" ;;
        log-saw) ROW_SAW+=("$rest") ;;
        log-never) ROW_NEVER+=("$rest") ;;
        logged | logged-windows)
            ROW_CHECKS_LOG=1
            [[ "$rest" == none ]] || ROW_LOGGED+=("$(printf '%b' "$rest")")
            ;;
        logged-linux) ROW_CHECKS_LOG=1 ;;
        esac
    done <"$E2E_CASES"
    ((found)) || fail "no row '$name' in $E2E_CASES"
}

# What the emulator logged of printer N at its start, "[<tag>: ]printer N[ port <name>]": the
# port it has in comm class mode, and the tag its lines carry when two play.
row_port() {
    sed -nE "s/^[0-9]+ ([^ ]+: )?printer $1 port //p" "$CASE_DIR/emulator.log"
}
row_tag() {
    sed -nE "s/^[0-9]+ ([^ ]+): printer $1( .*)?$/\1/p" "$CASE_DIR/emulator.log"
}

# Printer N's events: the whole log with one printer, its own lines with two.
row_events_of() {
    if ((${#ROW_PRINTERS[@]} > 1)); then
        emulator_events_of "$(row_tag "$1")"
    else
        emulator_events
    fi
}

row_run() {
    row_read "$1"
    local -a emulator=("${ROW_EMULATOR[@]}") words
    local i
    for ((i = 0; i < ${#ROW_PRINTERS[@]}; i++)); do
        ((i == 0)) || emulator+=(--also)
        read -ra words <<<"${ROW_PRINTERS[i]}"
        emulator+=("${words[@]}")
    done
    local bound=60
    ((ROW_SLOW)) && bound=200 && export E2E_TOOL_LIFETIME_S=220
    local -a run=()
    for i in "${ROW_RUN[@]}"; do
        run+=("$(printf '%b' "$i")")
    done
    local -x ORVANE_STDOUT=$ROW_STDOUT
    ((ROW_CHECKS_LOG)) && eventlog_next_run
    if ((${#ROW_PRINTERS[@]} == 0)); then
        emulator_purge
        orvane_run "$bound" "${run[@]}"
    else
        emulator_start "${emulator[@]}"
        orvane_run "$bound" "${run[@]}"
        emulator_stop
    fi
    row_check
}

# row_filled LINE...: the lines, one a line, with {portN} replaced by printer N's port.
row_filled() {
    local line n
    for line in "$@"; do
        for ((n = 1; n <= ${#ROW_PRINTERS[@]}; n++)); do
            line=${line//"{port$n}"/"$(row_port "$n")"}
        done
        printf '%s\n' "$line"
    done
}

row_check() {
    assert_exit "$ROW_EXIT"
    local -a expected=()
    local line n
    mapfile -t expected < <(row_filled "${ROW_OUT[@]}" "${ROW_JSON[@]}")
    if [[ -n "$ROW_STDOUT" ]]; then
        :
    elif ((${#ROW_JSON[@]})); then
        printf '%s\n' "${expected[@]}" >"$CASE_DIR/expected.json"
        /usr/bin/python3 "${E2E_CASES%/*}/check_json.py" "$E2E_SCHEMA" "$CASE_DIR/orvane.out" \
            "$CASE_DIR/expected.json" >&2 || fail "Orvane.exe's JSON document is not the row's"
    else
        assert_stdout "${expected[@]}"
    fi
    if ((${#ROW_ERR[@]})); then
        printf '%s\r\n' "${ROW_ERR[@]}" | cmp -s - "$CASE_DIR/orvane.err" ||
            fail "Orvane.exe's standard error is not the row's"
    fi
    local sent writes
    for sent in "${ROW_SENT[@]}"; do
        n=${sent%% *}
        writes=$(sed -E 's/^[0-9]+ ?//; s/ \/ /\n/g' <<<"$sent")
        if [[ -z "$writes" ]]; then
            [[ -z "$(row_events_of "$n" | grep -E '^(write|write-failed|write-stalled) ')" ]] ||
                fail "printer $n was written to: $(row_events_of "$n" | grep -E '^write')"
        else
            assert_equal "printer $n's writes" "$writes" \
                "$(row_events_of "$n" | sed -nE 's/^write PIPE01 //p')"
        fi
    done
    local gap low high
    for gap in "${ROW_GAPS[@]}"; do
        read -r n low high <<<"$gap"
        local -a times
        mapfile -t times < <(emulator_times "^($(row_tag "$n"): )?write PIPE01 ")
        assert_between "the pause between printer $n's writes (ms)" $((times[1] - times[0])) \
            "$low" "$high"
    done
    if [[ -n "$ROW_TOOK" ]]; then
        read -r low high <<<"$ROW_TOOK"
        assert_between "the time Orvane took (ms)" "$ORVANE_MS" $((low * 1000)) $((high * 1000))
    fi
    for line in "${ROW_SAW[@]}"; do
        assert_emulator_saw "$line"
    done
    for line in "${ROW_NEVER[@]}"; do
        assert_emulator_never_saw "$line"
    done
    if ((ROW_CHECKS_LOG)); then
        assert_equal "the events Orvane.exe reported" "$(row_filled "${ROW_LOGGED[@]}")" \
            "$(eventlog_records)"
    fi
}
