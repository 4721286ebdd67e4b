#!/usr/bin/env bash
# Builds the .deb from a configured build folder, installs it into a throwaway
# root with dpkg, starts both programs from there, and removes it again.
# Usage: tests/package/deb_test.sh BUILD_DIR
set -euo pipefail
fail() { echo "package test: $*" >&2; exit 1; }
build=${1:?build folder}
here=$(cd "$(dirname "$0")/../.." && pwd)

desktop-file-validate "$here/packaging/rosgen.desktop"

out=$(mktemp -d)
root=$(mktemp -d)
trap 'rm -rf "$out" "$root"' EXIT
if ! log=$(cpack --config "$build/CPackConfig.cmake" -B "$out" 2>&1); then
  printf '%s\n' "$log" | tail -n 20 >&2
  fail "cpack failed (its messages are above)"
fi
deb=$(ls "$out"/rosgen_*.deb)
echo "package: $(basename "$deb") ($(du -h "$deb" | cut -f1))"
dpkg-deb --field "$deb" Package Version Depends

# A dpkg database of our own, so the machine's packages stay untouched.
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates" "$root/var/lib/dpkg/triggers"
touch "$root/var/lib/dpkg/status" "$root/var/lib/dpkg/available"
dpkg=(dpkg --root="$root" --log=/dev/null --force-not-root --force-depends --force-script-chrootless)
"${dpkg[@]}" --install "$deb" >/dev/null 2>&1 || fail "dpkg could not install the package"

for f in usr/bin/rosgen usr/bin/rosgen-gui usr/lib/rosgen/libskinh_el.so usr/lib/rosgen/skins/china.she \
         usr/share/applications/rosgen.desktop usr/share/icons/hicolor/scalable/apps/rosgen.svg; do
  [ -e "$root/$f" ] || fail "missing $f"
done
# The manual page and the bash completion, and the completion answers from the installed program.
man_page=usr/share/man/man1/rosgen.1.gz
completion=usr/share/bash-completion/completions/rosgen
[ -f "$root/$man_page" ] || fail "missing $man_page"
[ -f "$root/$completion" ] || fail "missing $completion"
gzip -dc "$root/$man_page" | groff -ww -z -man 2>&1 | grep . && fail "the installed manual page does not render cleanly"
pages=$(bash -c 'source "$1"; COMP_WORDS=("$2" run wan-f); COMP_CWORD=2; _rosgen; echo "${COMPREPLY[*]}"' \
  _ "$root/$completion" "$root/usr/bin/rosgen")
[ "$pages" = wan-fixed ] || fail "the installed completion offers '$pages' for 'rosgen run wan-f'"
[ "$("$root/usr/bin/rosgen" --version)" = "rosgen $(dpkg-deb --field "$deb" Version)" ] ||
  fail "rosgen --version does not say the package's version"
# The web edition, when the build was given one.
web=$(sed -n 's/^ROSGEN_WEB_HTML:[A-Z]*=//p' "$build/CMakeCache.txt")
if [ -n "$web" ]; then
  html="$root/usr/share/rosgen/rosgen.html"
  [ -f "$html" ] || fail "missing usr/share/rosgen/rosgen.html"
  cmp -s "$html" "$web" || fail "usr/share/rosgen/rosgen.html is not the built web edition"
  echo "package: web edition $(du -h "$html" | cut -f1)"
fi
[ "$("$root/usr/bin/rosgen" list | wc -l)" -eq 27 ] || fail "rosgen list does not show 27 pages"
"$root/usr/bin/rosgen" run wan-fixed gen-3x | grep -q 'new-mss=1440' || fail "rosgen run gives no script"

# The window comes up offscreen from the installed copy.
runtime=$(mktemp -d)
log=$(mktemp)
XDG_RUNTIME_DIR=$runtime XDG_CONFIG_HOME=$runtime ROSGEN_GUI_TIMING=1 QT_QPA_PLATFORM=offscreen \
  timeout 20 "$root/usr/bin/rosgen-gui" >"$log" 2>&1 &
pid=$!
for _ in $(seq 200); do
  grep -q 'window shown after' "$log" && break
  sleep 0.1
done
kill "$pid" 2>/dev/null || true
wait "$pid" 2>/dev/null || true
grep -q 'window shown after' "$log" || { cat "$log"; rm -rf "$runtime" "$log"; fail "the window did not come up"; }
rm -rf "$runtime" "$log"

"${dpkg[@]}" --remove rosgen >/dev/null
for f in "$man_page" "$completion"; do
  [ ! -e "$root/$f" ] || fail "$f left after removal"
done
# dpkg removes the folders it emptied, /usr itself included.
left=$( [ -d "$root/usr" ] && find "$root/usr" \( -type f -o -type l \) -print | head -5 || true)
[ -z "$left" ] || fail "files left after removal: $left"
echo "package test: installed, started and removed cleanly"
