#!/usr/bin/env bash
# Makes the release packages: dist/pelmira-x64.zip and dist/pelmira-x86.zip, each one top folder
# (named without a ".", since the programs name their settings files from their path up to the
# first ".") with the programs, their INI files, the help file, README.txt, LICENSE and the sample
# palettes; the x64 package also the 32-bit companion vorlund32.exe and the 32-bit hook library
# as skerrow32.dll. Release builds live in their own trees (build/dist-<arch>) so the test trees are left
# alone. The programs are stripped; their debug information goes beside the zips, in
# dist/pelmira-<arch>-symbols.zip, linked by name (.gnu_debuglink) for debuggers.
# Each zip is then unpacked again into build/dist-unpacked/<arch>, where the package test reads it.
#
#   scripts/dist.sh [build folder] [dist folder]     (defaults: build, dist)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(mkdir -p "${1:-$root/build}" && cd "${1:-$root/build}" && pwd)"
dist="$(mkdir -p "${2:-$root/dist}" && cd "${2:-$root/dist}" && pwd)"
jobs="${JOBS:-$(nproc)}"

package() {  # package <toolchain arch> <package suffix> <binutils triple>
  local arch="$1" suffix="$2" triple="$3"
  local tree="$build/dist-$arch"
  local name="pelmira-$suffix"
  local stage="$tree/package"
  local top="$stage/$name"
  local symbols="$stage/$name-symbols"

  echo "== $name: Release build in $tree"
  # Optimised for size, unused code dropped at link: the library is mapped into every program on
  # the desktop. -g only to have something to keep beside the zip: what ships is stripped below.
  local sections="-g -ffunction-sections -fdata-sections"
  # 32-bit code unwinds C++ exceptions by DWARF tables alone (structured exceptions there use the
  # frame chain, not tables), so functions no exception can pass through need no table: 2.5 KB
  # of the 32-bit library. Not for x64, whose system unwinder needs a table for every function
  # that calls another, C++ exception or not.
  [ "$arch" = i686 ] && sections="$sections -fno-asynchronous-unwind-tables"
  cmake -S "$root" -B "$tree" -G "Unix Makefiles" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-$arch.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_C_FLAGS_RELEASE="-Os -DNDEBUG" -DCMAKE_CXX_FLAGS_RELEASE="-Os -DNDEBUG" \
        -DCMAKE_C_FLAGS="$sections" -DCMAKE_CXX_FLAGS="$sections" \
        -DCMAKE_SHARED_LINKER_FLAGS=-Wl,--gc-sections -DCMAKE_EXE_LINKER_FLAGS=-Wl,--gc-sections \
        -DPELMIRA_TESTS=OFF >/dev/null
  cmake --build "$tree" -j "$jobs" --target vorlund vorlund32 -- --no-print-directory -s

  local bin="$tree/bin"
  for f in vorlund.exe skerrow.dll vorlundLang.ini vorlundForm.ini brisanne.chm; do
    [ -f "$bin/$f" ] || { echo "dist: $bin/$f was not built" >&2; exit 1; }
  done

  rm -rf "$stage"
  mkdir -p "$top/palettes" "$symbols"
  ship() {  # ship <built file> <file name in the package> <binutils triple>
    "$3-objcopy" --only-keep-debug "$1" "$symbols/$2.debug"
    "$3-strip" --strip-all -o "$top/$2" "$1"
    (cd "$symbols" && "$3-objcopy" --add-gnu-debuglink="$2.debug" "$top/$2")
  }
  for f in vorlund.exe skerrow.dll; do
    ship "$bin/$f" "$f" "$triple"
  done
  if [ "$arch" = x86_64 ]; then
    # 32-bit programs are served by the 32-bit companion and the 32-bit hook library, which
    # Windows requires under a file name of its own.
    local bin32="$build/dist-i686/bin"
    for f in vorlund32.exe skerrow.dll; do
      [ -f "$bin32/$f" ] || { echo "dist: $bin32/$f was not built" >&2; exit 1; }
    done
    ship "$bin32/vorlund32.exe" vorlund32.exe i686-w64-mingw32
    ship "$bin32/skerrow.dll" skerrow32.dll i686-w64-mingw32
  fi
  cp "$bin/vorlundLang.ini" "$bin/vorlundForm.ini" "$bin/brisanne.chm" "$top/"
  cp "$root"/resources/palettes/*.pli "$top/palettes/"
  # Text files for Windows users: CR LF line ends.
  sed 's/\r*$/\r/' "$root/resources/README.txt" >"$top/README.txt"
  sed 's/\r*$/\r/' "$root/LICENSE" >"$top/LICENSE"

  rm -f "$dist/$name.zip" "$dist/$name-symbols.zip"
  (cd "$stage" && cmake -E tar cf "$dist/$name.zip" --format=zip "$name")
  (cd "$stage" && cmake -E tar cf "$dist/$name-symbols.zip" --format=zip "$name-symbols")

  local unpacked="$build/dist-unpacked/$suffix"
  rm -rf "$unpacked"
  mkdir -p "$unpacked"
  (cd "$unpacked" && cmake -E tar xf "$dist/$name.zip")
}

# The 32-bit tree first: the x64 package takes its companion and library from it.
package i686 x86 i686-w64-mingw32
package x86_64 x64 x86_64-w64-mingw32

echo "Packages in $dist:"
for f in "$dist"/pelmira-x64.zip "$dist"/pelmira-x86.zip; do
  printf '  %-24s %8d bytes\n' "$(basename "$f")" "$(stat -c %s "$f")"
done
for a in x64 x86; do
  printf '  skerrow.dll (%s)        %8d bytes\n' "$a" "$(stat -c %s "$build/dist-unpacked/$a/pelmira-$a/skerrow.dll")"
done
