#!/usr/bin/env bash
# The tests' own homes, and a look at the home of whoever runs the suite.
#
#   homes.sh make ROOT SOURCE_DIR BUILD_DIR TEST...  makes ROOT/TEST/home and ROOT/TEST/runtime
#                                                    afresh for every test, and notes what
#                                                    $HOME holds
#   homes.sh check ROOT                              fails when $HOME changed since then
#
# What is noted: the names of the entries of $HOME (a file with its size and the moment it
# was last changed), and everything three levels deep in the folders where programs keep
# their settings, data, caches and desktop files (.config, .local, .cache, .dbus, .pki,
# Desktop), each with its kind, size and moment (a folder's moment changes when an entry is
# made in it, so files one level deeper show too). Left out: the source and build trees
# wherever they lie, and the compiler cache, which builds beside the suite use. Other
# programs of the same account that write into these folders while the suite runs show as
# well; the listing names each change.
set -euo pipefail

listing() {
  local home=$1 source=$2 build=$3
  {
    find "$home" -mindepth 1 -maxdepth 1 -type d -printf '%P\t%y\n'
    find "$home" -mindepth 1 -maxdepth 1 ! -type d -printf '%P\t%y\t%s\t%T@\n'
    for folder in .config .local .cache .dbus .pki Desktop; do
      [ -d "$home/$folder" ] || continue
      find "$home/$folder" -xdev -mindepth 0 -maxdepth 2 \
        \( -path "$source" -o -path "$build" -o -path "$home/.cache/ccache" \
        -o -path "$home/.config/ccache" \) -prune -o -printf "$folder/%P\t%y\t%s\t%T@\n"
    done
  } 2> /dev/null | LC_ALL=C sort
}

case ${1:-} in
  make)
    root=$2 source=$3 build=$4
    shift 4
    rm -rf "$root"
    mkdir -p "$root"
    for test in "$@"; do
      mkdir -p "$root/$test/home/.config" "$root/$test/home/.local/share" \
        "$root/$test/home/.local/state" "$root/$test/home/.cache" "$root/$test/runtime"
      chmod 0700 "$root/$test/runtime"
    done
    printf '%s\n%s\n%s\n' "${HOME:-}" "$source" "$build" > "$root/users-home"
    if [ -n "${HOME:-}" ] && [ -d "$HOME" ]; then
      listing "$HOME" "$source" "$build" > "$root/users-home.before"
    fi
    echo "homes for $# tests in $root"
    ;;
  check)
    root=$2
    [ -f "$root/users-home" ] || { echo "no note of the home: run the suite through ctest" >&2; exit 2; }
    { read -r home; read -r source; read -r build; } < "$root/users-home"
    if [ -z "$home" ] || [ ! -f "$root/users-home.before" ]; then
      echo "no home to look at"
      exit 0
    fi
    if [ "$home" != "${HOME:-}" ]; then
      echo "the suite started with HOME=$home and ends with HOME=${HOME:-}: run it in one go" >&2
      exit 2
    fi
    listing "$home" "$source" "$build" > "$root/users-home.after"
    if ! diff "$root/users-home.before" "$root/users-home.after" > "$root/users-home.diff"; then
      echo "$home changed while the suite ran (< before, > after: name, kind, size, moment):" >&2
      cat "$root/users-home.diff" >&2
      exit 1
    fi
    echo "$home is as it was: $(wc -l < "$root/users-home.after") entries"
    ;;
  *)
    echo "usage: homes.sh make ROOT SOURCE_DIR BUILD_DIR TEST... | homes.sh check ROOT" >&2
    exit 2
    ;;
esac
