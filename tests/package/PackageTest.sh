#!/usr/bin/env bash
# Checks the Debian package as a user meets it: its control data and dependencies, the files
# it installs, --help and --version of each program, a task run from the unpacked package by a
# user who may not write the program folder (settings and the lookup's answer must go to that
# user's ~/.config/korvane/ and ~/.cache/korvane/), and lintian without errors.
#   tests/package/PackageTest.sh korvane_<version>_amd64.deb
set -euo pipefail
deb=$(realpath "$1")
test_user=korvane-pkgtest

fail() { echo "FAIL: $*" >&2; exit 1; }
step() { echo "-- $*"; }

scratch=$(mktemp -d /tmp/korvane-package.XXXXXX)
standin_pid=""
cleanup() {
  [ -n "$standin_pid" ] && kill "$standin_pid" 2>/dev/null && wait "$standin_pid" 2>/dev/null
  rm -rf "$scratch"
}
trap cleanup EXIT
chmod 755 "$scratch"

step "control data"
control=$(dpkg-deb --field "$deb")
echo "$control"
grep -q '^Package: korvane$' <<<"$control" || fail "package name"
grep -q '^Architecture: amd64$' <<<"$control" || fail "architecture"
version=$(dpkg-deb --field "$deb" Version)
[ "$(basename "$deb")" = "korvane_${version}_amd64.deb" ] || fail "file name $(basename "$deb")"
depends=$(dpkg-deb --field "$deb" Depends)
for library in libc6 libstdc++6 libjpeg62-turbo; do
  grep -q "$library" <<<"$depends" || fail "no dependency on $library: $depends"
done

step "contents"
root=$scratch/root
dpkg -x "$deb" "$root"
folder=$root/usr/lib/korvane
for file in korvane-cli korvane-standin ini/cookies.txt help/help.html blankimg/blank.jpg; do
  [ -e "$folder/$file" ] || fail "missing /usr/lib/korvane/$file"
done
[ ! -e "$folder/ini/config.ini" ] || fail "a config.ini is installed"
programs=(korvane-cli korvane-standin mosaicker)
if [ -e "$folder/korvane" ]; then
  programs+=(korvane pictoscope)
  for file in share/applications/korvane.desktop share/icons/hicolor/scalable/apps/korvane.svg; do
    [ -e "$root/usr/$file" ] || fail "missing /usr/$file"
  done
fi
for program in "${programs[@]}"; do
  [ -L "$root/usr/bin/$program" ] || fail "no launcher /usr/bin/$program"
  [ "$(realpath "$root/usr/bin/$program")" = "$(realpath "$folder/$program")" ] ||
    fail "/usr/bin/$program leads elsewhere"
  [ -e "$root/usr/share/man/man1/$program.1.gz" ] || fail "no manual page for $program"
  zcat "$root/usr/share/man/man1/$program.1.gz" | grep -q "^\.TH" || fail "$program.1 is no man page"
  help=$("$root/usr/bin/$program" --help) || fail "$program --help failed"
  grep -q "^usage: $program" <<<"$help" || fail "$program --help: $help"
  [ "$("$root/usr/bin/$program" --version)" = "$program $version" ] || fail "$program --version"
done
completion=$root/usr/share/bash-completion/completions/korvane-cli
[ -f "$completion" ] || fail "no bash completion for korvane-cli"
bash -n "$completion" || fail "the completion does not parse"
for file in copyright changelog.gz; do
  [ -f "$root/usr/share/doc/korvane/$file" ] || fail "missing /usr/share/doc/korvane/$file"
done

step "a task run by a user who may not write the program folder"
home=$scratch/home
mkdir -p "$home"
run_as_user=()
if [ "$(id -u)" -eq 0 ]; then
  if ! id "$test_user" >/dev/null 2>&1; then
    useradd --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin "$test_user" ||
      { echo "SKIP: cannot create the user $test_user for the task run"; exit 0; }
  fi
  chown "$test_user:" "$home"
  run_as_user=(runuser -u "$test_user" --)
else
  # Unpacked by this user, the program folder is theirs: take the write right away as an
  # installation by root would.
  chmod -R a-w "$folder"
  trap 'chmod -R u+w "$folder"; cleanup' EXIT
fi
as_user() {
  "${run_as_user[@]}" env -i HOME="$home" PATH=/usr/bin:/bin LANG=C.UTF-8 "$@"
}

coproc STANDIN { exec "$root/usr/bin/korvane-standin" --listen 127.0.0.1:0; }
standin_pid=$STANDIN_PID
read -r -t 30 first_line <&"${STANDIN[0]}" || fail "the stand-in did not start"
address=${first_line#listening }

as_user mkdir -p "$home/.config/korvane" "$home/downloads"
as_user sh -c "cat > '$home/.config/korvane/config.ini'" <<INI
[Service]
Protocol=current
LookupBase=http://$address
TileBase=http://$address
HomePage=http://$address/
INI
status=0
as_user "$root/usr/bin/korvane-cli" --task tower --lat 48.8584 --lon 2.2945 --zoom 1 \
  --path "$home/downloads" >"$scratch/cli.out" 2>"$scratch/cli.err" || status=$?
cat "$scratch/cli.out" "$scratch/cli.err"
[ "$status" -eq 0 ] || fail "korvane-cli ended with $status"
tiles=$(find "$home/downloads/tower" -name 'gv_*.jpg' | wc -l)
[ "$tiles" -gt 0 ] || fail "no tiles downloaded"
[ -f "$home/downloads/tower.krvn" ] || fail "no task file"
[ -s "$home/.cache/korvane/temp.json" ] || fail "the lookup's answer is not in ~/.cache/korvane/"
as_user "$root/usr/bin/mosaicker" "$home/downloads/tower.krvn" >"$scratch/mosaicker.out" ||
  fail "mosaicker could not join the tiles: $(cat "$scratch/mosaicker.out")"
[ -s "$home/downloads/tower.jpg" ] || fail "no panorama from mosaicker"
leftovers=$(find "$folder/ini" -mindepth 1 ! -name cookies.txt)
[ -z "$leftovers" ] || fail "written into the program folder: $leftovers"
echo "$tiles tiles downloaded and joined"

step "lintian"
lintian --fail-on error "$deb" || fail "lintian reports errors"
echo "package test passed"
