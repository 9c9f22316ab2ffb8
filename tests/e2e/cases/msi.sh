# The Windows Installer package under Wine: install, run, upgrade, a refused downgrade, uninstall.
# The package is made here with packaging/windows/make-msi.sh from this build's Orvane.exe, for
# the word size of the prefix (x64 in a 64-bit prefix, x86 in a 32-bit one).

msi_repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)
if [[ ${E2E_WINEARCH:-win64} == win32 ]]; then msi_arch=x86; else msi_arch=x64; fi
msi_folder() { echo "$WINEPREFIX/drive_c/Program Files/Orvane"; }
msi_windows_folder() { echo 'C:\Program Files\Orvane'; }
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
event_source_key='HKLM\SYSTEM\CurrentControlSet\Services\EventLog\Application\Orvane'

# msi_make VERSION: $CASE_DIR/Orvane-VERSION.msi
msi_make() {
    mkdir -p "$CASE_DIR/stage"
    cp "$E2E_ORVANE" "$CASE_DIR/stage/Orvane.exe"
    cp "$msi_repo/README.md" "$msi_repo/orvane.schema.json" "$msi_repo/LICENSE" "$CASE_DIR/stage/"
    "$msi_repo/packaging/windows/make-msi.sh" "$msi_arch" "$1" "$CASE_DIR/stage" \
        "$CASE_DIR/Orvane-$1.msi" || fail "make-msi.sh $1 failed"
}

# msiexec_run /i|/x VERSION: sets MSI_RC (a Unix exit code: msiexec's 1603 arrives as 67).
msiexec_run() {
    e2e_wine 120 "$CASE_DIR/msiexec.out" "$CASE_DIR/msiexec.err" msiexec "$1" \
        "$(winepath_of "$CASE_DIR/Orvane-$2.msi")" /qn
    MSI_RC=$?
}

# The Add/Remove Programs entries named Orvane, as "<version> <publisher>", one a line.
arp_entries() {
    e2e_wine "$E2E_WINE_BOUND_S" "$CASE_DIR/arp.out" "$CASE_DIR/arp.err" reg query "$uninstall_key" /s
    tr -d '\r' <"$CASE_DIR/arp.out" | awk '
        /^HKEY/ { if (name == "Orvane") print version, publisher; name = version = publisher = "" }
        $1 == "DisplayName" { name = $3 }
        $1 == "DisplayVersion" { version = $3 }
        $1 == "Publisher" { sub(/^ *Publisher +REG_SZ +/, ""); publisher = $0 }
        END { if (name == "Orvane") print version, publisher }'
}

# Whatever of ours is in the prefix: files and folders named Orvane, and registry keys.
assert_nothing_of_ours() {
    local found
    found=$(find "$WINEPREFIX/drive_c" -iname '*orvane*' | head -n 5)
    [[ -z "$found" ]] || fail "left in the prefix: $found"
    [[ -z "$(arp_entries)" ]] || fail "an Add/Remove Programs entry is left: $(arp_entries)"
    e2e_wine "$E2E_WINE_BOUND_S" "$CASE_DIR/reg.out" "$CASE_DIR/reg.err" reg query 'HKLM\Software\Orvane' &&
        fail "HKLM\\Software\\Orvane is left"
    e2e_wine "$E2E_WINE_BOUND_S" "$CASE_DIR/reg.out" "$CASE_DIR/reg.err" reg query "$event_source_key" &&
        fail "the event source is left: $(tr -d '\r' <"$CASE_DIR/reg.out")"
    # Windows Installer's own record of the product, its feature and components.
    local key
    for key in 'HKLM\Software\Classes\Installer' 'HKLM\Software\Microsoft\Windows\CurrentVersion\Installer'; do
        e2e_wine "$E2E_WINE_BOUND_S" "$CASE_DIR/reg.out" "$CASE_DIR/reg.err" reg query "$key" /s
        ! grep -qi orvane "$CASE_DIR/reg.out" || fail "$key still names Orvane: $(grep -i orvane "$CASE_DIR/reg.out" | head -n 2)"
    done
    return 0
}

# The Start menu entry: Wine's msi puts a per-machine package's shortcut in the installing
# user's Start menu, Windows in the one of all users.
start_menu_shortcuts() {
    find "$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs" \
        "$WINEPREFIX/drive_c/users" -path '*Start Menu/Programs/Orvane.lnk' 2>/dev/null
}

case_installs_runs_and_uninstalls() {
    assert_nothing_of_ours
    msi_make "$E2E_VERSION"
    msiexec_run /i "$E2E_VERSION"
    assert_equal "msiexec /i's exit code" 0 "$MSI_RC"
    assert_equal "the installed files" "LICENSE Orvane.exe README.md orvane.schema.json" \
        "$(ls "$(msi_folder)" | LC_ALL=C sort | paste -sd' ')"
    cmp -s "$E2E_ORVANE" "$(msi_folder)/Orvane.exe" || fail "the installed Orvane.exe is another"
    local shortcut
    shortcut=$(start_menu_shortcuts)
    [[ -n "$shortcut" ]] || fail "no Start menu shortcut Orvane.lnk"
    grep -aq 'Orvane.exe' "$shortcut" || fail "the shortcut does not name Orvane.exe"
    IFS=. read -r major minor patch tweak <<<"$E2E_VERSION"
    assert_equal "the Add/Remove Programs entry" \
        "$major.$minor.$((patch * 1000 + tweak)) The Orvane developers" "$(arp_entries)"
    e2e_wine "$E2E_WINE_BOUND_S" "$CASE_DIR/reg.out" "$CASE_DIR/reg.err" reg query "$event_source_key"
    assert_equal "the event source's values" \
        "EventMessageFile REG_SZ $(msi_windows_folder)\Orvane.exe|TypesSupported REG_DWORD 0x7" \
        "$(tr -d '\r' <"$CASE_DIR/reg.out" | awk 'NF >= 3 { $1 = $1; print }' | sort | paste -sd'|')"

    emulator_start --mode native
    E2E_ORVANE="$(msi_folder)/Orvane.exe" orvane_run 30 MODE
    emulator_stop
    assert_exit 0
    assert_stdout "Native USB"

    msiexec_run /x "$E2E_VERSION"
    assert_equal "msiexec /x's exit code" 0 "$MSI_RC"
    assert_nothing_of_ours
}

case_newer_replaces_older_and_older_is_refused() {
    assert_nothing_of_ours
    msi_make 1.0.0.8
    msi_make 1.0.0.9
    msiexec_run /i 1.0.0.8
    assert_equal "installing 1.0.0.8: msiexec's exit code" 0 "$MSI_RC"
    msiexec_run /i 1.0.0.9
    assert_equal "installing 1.0.0.9 over it: msiexec's exit code" 0 "$MSI_RC"
    assert_equal "the entries after the upgrade" "1.0.9 The Orvane developers" "$(arp_entries)"
    assert_equal "the installed files" "LICENSE Orvane.exe README.md orvane.schema.json" \
        "$(ls "$(msi_folder)" | LC_ALL=C sort | paste -sd' ')"
    assert_equal "the installed shortcuts" 1 "$(start_menu_shortcuts | wc -l)"
    msiexec_run /i 1.0.0.8
    assert_equal "installing 1.0.0.8 over 1.0.0.9: msiexec's exit code (1603 & 255)" 67 "$MSI_RC"
    assert_equal "the entries after the refusal" "1.0.9 The Orvane developers" "$(arp_entries)"
    msiexec_run /x 1.0.0.9
    assert_equal "msiexec /x's exit code" 0 "$MSI_RC"
    assert_nothing_of_ours
}
