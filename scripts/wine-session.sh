# Sourced by the test and run scripts: a private Wine prefix inside an Xvfb display of its own.
# Needs: $session (a folder for the prefix, HOME and the display's files).

# Starts Xvfb on the first free display number and exports DISPLAY.
start_xvfb() {
    local n
    for n in $(seq 91 140); do
        [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
        Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >"$session/xvfb.log" 2>&1 &
        xvfb_pid=$!
        for _ in $(seq 1 50); do
            [ -e "/tmp/.X11-unix/X$n" ] && break
            sleep 0.1
        done
        if kill -0 "$xvfb_pid" 2>/dev/null; then
            export DISPLAY=":$n"
            return 0
        fi
    done
    echo "wine-session: no free X display" >&2
    return 1
}

# The first free X display number from 91 on, past $1 when given.
free_display_number() {
    local n
    for n in $(seq $((${1:-90} + 1)) 140); do
        [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] || { echo "$n"; return 0; }
    done
    return 1
}

# Waits up to 5 s for display $1's socket while process $2 runs.
wait_for_display() {
    for _ in $(seq 1 50); do
        [ -e "/tmp/.X11-unix/X$1" ] && return 0
        kill -0 "$2" 2>/dev/null || return 1
        sleep 0.1
    done
    return 1
}

# A second display of two monitors side by side, 1024x768 primary and 800x600 to its right: Xephyr inside
# an Xvfb of its own, Xinerama on and RandR off. Sets two_monitor_display (":N"); DISPLAY stays as it was.
# Wine takes its monitors from the display of the wineserver's first program: stop the server before
# switching DISPLAY to it.
start_two_monitor_display() {
    local host screens
    host=$(free_display_number) || return 1
    Xvfb ":$host" -screen 0 2000x900x24 -nolisten tcp >"$session/xvfb-host.log" 2>&1 &
    two_monitor_host_pid=$!
    wait_for_display "$host" "$two_monitor_host_pid" || { echo "wine-session: no host display" >&2; return 1; }
    screens=$(free_display_number "$host") || return 1
    DISPLAY=":$host" Xephyr ":$screens" -ac -nolisten tcp -screen 1024x768 -origin 1024,0 -screen 800x600 \
        +xinerama -extension RANDR >"$session/xephyr.log" 2>&1 &
    two_monitor_pid=$!
    wait_for_display "$screens" "$two_monitor_pid" || { echo "wine-session: no two-monitor display" >&2; return 1; }
    two_monitor_display=":$screens"
}

# Debian's wine command takes 32-bit Wine whenever it is installed, even where the kernel cannot run it
# (then every wine command fails): there, wine and wine-stable go to the 64-bit loader.
use_runnable_wine() {
    [ -x /usr/lib/wine/wine ] && [ -x /usr/lib/wine/wine64 ] || return 0
    /usr/lib/wine/wine --version >/dev/null 2>&1 && return 0
    local shim=$session/wine-bin name
    mkdir -p "$shim"
    for name in wine wine-stable; do
        printf '#!/bin/sh\nexec /usr/lib/wine/wine64 "$@"\n' >"$shim/$name"
        chmod +x "$shim/$name"
    done
    export PATH="$shim:$PATH" WINELOADER=/usr/lib/wine/wine64
}

# A fresh prefix with the settings the tests rely on: no crash dialog, no window-manager stalls,
# a private HOME so the prefix's Pictures folder is not the real home's.
make_prefix() {
    use_runnable_wine
    export WINEPREFIX="$session/prefix"
    export HOME="$session/home"
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml="
    rm -rf "$WINEPREFIX"
    mkdir -p "$HOME"
    wineboot -i >"$session/wineboot.log" 2>&1
    wineserver -w
    local user_dir
    for user_dir in "$WINEPREFIX"/drive_c/users/*/; do
        local link
        for link in "$user_dir"*; do
            if [ -L "$link" ]; then
                rm -f "$link"
                mkdir -p "$link"
            fi
        done
    done
    cat >"$session/settings.reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"
"Decorated"="N"
REG
    wine regedit /S "$session/settings.reg" >/dev/null 2>&1
    wineserver -w
}

# Makes the prefix as stingy as 64-bit Windows, which has Direct3D 8 for 32-bit programs only: a 64-bit
# d3d8.dll without Direct3DCreate8 ($1, from the build's bin/win64) replaces Wine's 64-bit one, and the
# override makes Wine load that file; 32-bit programs still get Wine's own from syswow64.
shape_like_windows() {
    local stand_in=$1
    if [ ! -f "$stand_in" ]; then
        echo "wine-session: no 64-bit d3d8.dll stand-in at $stand_in" >&2
        return 1
    fi
    cp "$stand_in" "$WINEPREFIX/drive_c/windows/system32/d3d8.dll"
    wine reg add 'HKCU\Software\Wine\DllOverrides' /v d3d8 /t REG_SZ /d native,builtin /f >/dev/null 2>&1
    wineserver -w
}

# True when Wine here starts the 32-bit probe $1: judged by what it wrote, as Wine may exit with 0 when it
# cannot start a 32-bit program (a kernel without 32-bit support, no wine32).
runs_32bit_programs() {
    local report=$session/probe32.txt
    rm -f "$report"
    timeout 60 wine "$1" "$(winepath -w "$report")" >/dev/null 2>&1
    grep -q '^32-bit program' "$report" 2>/dev/null
}

# Writes the installer's registry value, pointing at a Windows path, in the registry view the saver reads:
# 32 (the default) where the 32-bit installer writes it for the 32-bit saver, 64 for the 64-bit twin.
set_install_folder() {
    wine reg add 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Prismata_is1' \
        /v 'Inno Setup: App Path' /t REG_SZ /d "$1" /f "/reg:${2:-32}" >/dev/null 2>&1
}

# The usual start: the session folder, a display of its own and a fresh prefix, ended on exit.
begin_session() {
    mkdir -p "$session"
    trap end_session EXIT
    start_xvfb || return 1
    make_prefix
}

end_session() {
    [ -n "${WINEPREFIX:-}" ] && wineserver -k 2>/dev/null || true
    [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null || true
    xvfb_pid=
    [ -n "${two_monitor_pid:-}" ] && kill "$two_monitor_pid" 2>/dev/null || true
    [ -n "${two_monitor_host_pid:-}" ] && kill "$two_monitor_host_pid" 2>/dev/null || true
    two_monitor_pid= two_monitor_host_pid=
}

# The start every Windows benchmark shares: set-up, the Release build of one bench target, then a session
# of its own. Needs: $root. Sets $build, $session and $windows_bin (the folder of the programs to measure).
begin_windows_bench() {
    bash "$root/scripts/setup.sh"
    build=${PRISMATA_BUILD:-$root/build}
    cmake -S "$root" -B "$build/win" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-i686.cmake" \
        -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$build/win" --target "$1" Win64Probe D3D8Probe
    session=$build/${2:-bench-session}
    begin_session || return 1
    # What is measured is what ships, where Wine here can start it; elsewhere the 64-bit twin, said so.
    if runs_32bit_programs "$build/win/bin/probes/D3D8Probe.exe"; then
        shape_like_windows "$build/win/bin/win64/d3d8.dll" || return 1
        windows_bin=$build/win/bin
    else
        echo "bench: Wine on this machine starts no 32-bit program; measuring the 64-bit twin of the build"
        cmake -S "$root" -B "$build/win64" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
            -DCMAKE_BUILD_TYPE=Release >/dev/null
        cmake --build "$build/win64" --target "$1"
        windows_bin=$build/win64/bin
    fi
    # Its exit status says whether it had to start a server, not whether one runs.
    wineserver -p || true
}
