#!/bin/sh
# The manual's recipe for spreading an archive over several machines, run as
# it is written: GNU parallel hands blocks of names over ssh to two machines
# that are both this one (two names for 127.0.0.1, served by an sshd of the
# test's own on a private port, key logins only). Each "machine" has the
# vantrel-decode package's files on its path and a home of its own in the
# test's folder. The result lines and the decoded files must be those of one
# local run.
# Usage: scale_out_test.sh <vantrel-decode.deb> <vantrel-decode.1>
set -eu
deb=$1 page=$2

sshd=/usr/sbin/sshd
for tool in ssh ssh-keygen parallel rsync man dpkg-deb; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "SKIPPED: $tool is not installed, so the recipe cannot run"
    exit 77
  fi
done
if [ ! -x "$sshd" ]; then
  echo "SKIPPED: $sshd is not installed, so there is no machine to log in to"
  exit 77
fi

tmp=$(mktemp -d "${TMPDIR:-/tmp}/vantrel-scale-out.XXXXXX")
sshd_pid=
made_privsep=
cleanup() {
  if [ -n "$sshd_pid" ]; then
    kill "$sshd_pid" 2>/dev/null || true
    wait "$sshd_pid" 2>/dev/null || true
  fi
  [ -z "$made_privsep" ] || rmdir /run/sshd 2>/dev/null || true
  rm -rf "$tmp"
}
trap cleanup EXIT
trap 'exit 1' HUP INT PIPE TERM

# The recipe as the page shows it, from "find" to the redirections.
MANWIDTH=200 man -l "$page" 2>/dev/null | sed -n '/^ *find \/srv\/archive/,/> results.tsv/p' >"$tmp/recipe"
if ! grep -q -- '--sshlogin host1,host2,:' "$tmp/recipe"; then
  echo "no recipe with --sshlogin host1,host2,: in $page:"
  cat "$tmp/recipe"
  exit 1
fi
# Here the shared file system is this one, both machines are this one, and
# blocks of 4 names instead of 1000 make a few files enough for several
# blocks, handed out to both machines and put back in order.
sed -i -e "s|/srv/archive|$tmp/archive|g" -e "s|/srv/decoded|$tmp/decoded|g" \
  -e 's|--sshlogin host1,host2,:|--sshlogin worker1,worker2|' -e 's|-N 1000 |-N 4 |' "$tmp/recipe"
if ! grep -q -- '-N 4 ' "$tmp/recipe" || ! grep -q -- '--sshlogin worker1,worker2 ' "$tmp/recipe"; then
  cat "$tmp/recipe"
  echo "the recipe's block size or machines were not found"
  exit 1
fi

# Names with a space, a line end and capitals, enciphered regions, and an
# earlier output in a Decript folder, which the recipe leaves out.
mkdir -p "$tmp/archive/sub dir/Decript" "$tmp/archive/more" "$tmp/decoded" "$tmp/decoded-local"
i=0
while [ $i -lt 12 ]; do
  printf 'line %d &&&&&HELLO 123 /W#####\n' $i >"$tmp/archive/more/f$i.txt"
  i=$((i + 1))
done
printf 'A&&&&&UPPER CASE NAME#####\n' >"$tmp/archive/sub dir/SHOUT.TXT"
printf 'B&&&&&LINE END#####\n' >"$tmp/archive/sub dir/two
lines.txt"
printf 'old output\n' >"$tmp/archive/sub dir/Decript/SHOUT-dec.txt"
printf 'not text\n' >"$tmp/archive/notes.md"
printf 'K3Y-0F-TEN\n' >"$tmp/key.txt"

# The machines: the package unpacked, a home, and a login by key only.
dpkg-deb -x "$deb" "$tmp/installed"
mkdir "$tmp/remote-home" "$tmp/local-home"
ssh-keygen -q -t ed25519 -N '' -C vantrel-test-host -f "$tmp/host_key"
ssh-keygen -q -t ed25519 -N '' -C vantrel-test-user -f "$tmp/user_key"
cp "$tmp/user_key.pub" "$tmp/authorized_keys"
user=$(id -un)
# sshd running as root wants its privilege separation folder, which only
# the system's service would have made.
if [ "$(id -u)" -eq 0 ] && [ ! -d /run/sshd ]; then
  mkdir -m 755 /run/sshd
  made_privsep=1
fi

start_sshd() {
  cat >"$tmp/sshd_config" <<CONFIG
ListenAddress 127.0.0.1:$1
HostKey $tmp/host_key
PidFile none
AuthorizedKeysFile $tmp/authorized_keys
AuthenticationMethods publickey
PasswordAuthentication no
KbdInteractiveAuthentication no
PermitRootLogin prohibit-password
AllowUsers $user
UsePAM no
StrictModes no
LogLevel VERBOSE
SetEnv HOME=$tmp/remote-home PATH=$tmp/installed/usr/bin:/usr/bin:/bin
ForceCommand cd "\$HOME" && exec /bin/sh -c "\$SSH_ORIGINAL_COMMAND"
CONFIG
  cat >"$tmp/ssh_config" <<CONFIG
Host worker1 worker2
  HostName 127.0.0.1
  Port $1
  User $user
  IdentityFile $tmp/user_key
  IdentitiesOnly yes
  UserKnownHostsFile $tmp/known_hosts
  GlobalKnownHostsFile /dev/null
  StrictHostKeyChecking yes
  BatchMode yes
  LogLevel ERROR
CONFIG
  printf '[127.0.0.1]:%s %s\n' "$1" "$(cat "$tmp/host_key.pub")" >"$tmp/known_hosts"
  "$sshd" -D -f "$tmp/sshd_config" -E "$tmp/sshd.log" &
  sshd_pid=$!
  tries=0
  while [ $tries -lt 100 ]; do
    kill -0 "$sshd_pid" 2>/dev/null || { wait "$sshd_pid" || true; sshd_pid=; return 1; }
    ssh -F "$tmp/ssh_config" worker1 true 2>/dev/null && return 0
    sleep 0.1
    tries=$((tries + 1))
  done
  cat "$tmp/sshd.log"
  echo "sshd on port $1 does not let a login in"
  exit 1
}
# A private port that is free: another one while sshd cannot listen.
port=$((20000 + $$ % 30000))
attempt=0
until start_sshd $port; do
  attempt=$((attempt + 1))
  if [ $attempt -ge 20 ]; then
    cat "$tmp/sshd.log"
    echo "no free port for sshd"
    exit 1
  fi
  port=$((port + 1))
done

# Both runs from the folder that holds key.txt, as the recipe expects.
cd "$tmp"
export HOME="$tmp/local-home" PARALLEL_SSH="ssh -F $tmp/ssh_config" PARALLEL="--joblog $tmp/jobs.log"
export PATH="$tmp/installed/usr/bin:$PATH"
if ! sh -eu "$tmp/recipe"; then
  cat "$tmp/recipe" messages.log
  echo "the recipe failed"
  exit 1
fi
mv results.tsv remote.tsv
find "$tmp/archive" -iname '*.txt' ! -path '*/Decript/*' -print0 |
  vantrel-decode -j 0 -0 --files-from - --key-file key.txt -o "$tmp/decoded-local" >local.tsv

failed=0
fail() {
  echo "$*"
  failed=1
}
hosts=$(awk -F '\t' 'NR > 1 { print $2 }' jobs.log | sort -u | paste -sd ' ')
[ "$hosts" = "worker1 worker2" ] || fail "the blocks did not go to both machines: $hosts"
[ "$(wc -l <remote.tsv)" -eq 14 ] || fail "$(wc -l <remote.tsv) result lines, expected one for each of 14 files"
grep -q 'Decript' remote.tsv && fail "an earlier output was decoded again: $(grep Decript remote.tsv)"
sed "s|$tmp/decoded/|OUT/|" remote.tsv >remote.lines
sed "s|$tmp/decoded-local/|OUT/|" local.tsv >local.lines
diff -u --label 'one local run' --label 'the recipe' local.lines remote.lines \
  || fail "the result lines differ from those of one local run"
[ "$(find "$tmp/decoded" -type f -printf x | wc -c)" -eq 14 ] || fail "not every file was decoded: $(ls "$tmp/decoded")"
diff -r "$tmp/decoded-local" "$tmp/decoded" || fail "the decoded files differ from those of one local run"
grep -q 'Accepted publickey' "$tmp/sshd.log" || fail "no login went through sshd"
[ ! -e "$tmp/remote-home/key.txt" ] || fail "the key file was left on the machines"

[ $failed -eq 0 ] && echo "$(wc -l <remote.tsv) files decoded over ssh on $hosts as in one local run"
exit $failed
