#!/usr/bin/env bash
# Builds the setup program's own code (setup/, ui/, install/, register/) as a
# Win32 GUI executable with MinGW-w64 against the real Windows headers and
# libraries, and checks what comes out. It shows that the program needs
# nothing of the Linux machine: platform/win32.h opens onto <windows.h> there.
#   build_for_windows.sh SOURCE_DIR OUTPUT_DIR
set -euo pipefail
source_dir=$1
output_dir=$2
compiler=x86_64-w64-mingw32-g++-posix
command -v "$compiler" >/dev/null || { echo "$compiler is missing (Debian package g++-mingw-w64-x86-64-posix)" >&2; exit 1; }
mkdir -p "$output_dir"
cd "$source_dir"
# The program includes the subset, its own headers and the C library's, nothing else.
strays=$(grep -Hn '^[[:space:]]*#[[:space:]]*include' setup/* ui/* install/* register/* |
  grep -Ev '#[[:space:]]*include[[:space:]]+("win32\.h"|"(setup|ui|install|register)/[a-z_]+\.h"|<c[a-z]+>)' || true)
[ -z "$strays" ] || { echo "the program includes more than the Win32 subset and the C library:" >&2; echo "$strays" >&2; exit 1; }
"$compiler" -std=c++20 -O2 -Wall -Werror -Iplatform -I. -mwindows -static \
  setup/*.cpp ui/*.cpp install/*.cpp register/*.cpp -llz32 -o "$output_dir/quorix-setup.exe"
description=$(file -b "$output_dir/quorix-setup.exe")
echo "$description"
case "$description" in
  "PE32+ executable (GUI) x86-64"*) ;;
  *) echo "not a Win32 GUI executable" >&2; exit 1 ;;
esac
# The entry point the Windows start-up calls is the program's own WinMain.
symbols=$(x86_64-w64-mingw32-nm "$output_dir/quorix-setup.exe")
grep -q ' T WinMain$' <<<"$symbols" || { echo "no WinMain" >&2; exit 1; }
