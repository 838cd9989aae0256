#!/usr/bin/env bash
# The Ansible collection as a user runs it: built with ansible-galaxy, installed
# into a collections path of its own, each module's documentation rendered by
# ansible-doc, and the example playbooks of contrib/ansible/playbooks run as
# they stand by ansible-playbook against three kyr7sim units on loopback; one
# of them is reached through a jump host (a second host with a local
# connection), as a site's units are.
#
# Usage: check_collection.sh SOURCE_DIR VERSION; KYR7SIM and KYR7CTL name the
# programs.
# Ansible runs on the system's python3 with its home, temporary folders and
# configuration inside a temporary folder, which goes at the end.
set -euo pipefail

src=$(cd "${1:?usage: check_collection.sh SOURCE_DIR VERSION}" && pwd)
version=${2:?usage: check_collection.sh SOURCE_DIR VERSION}
here=$src/tests/ansible
playbooks=$src/contrib/ansible/playbooks
: "${KYR7SIM:?KYR7SIM names kyr7sim}" "${KYR7CTL:?KYR7CTL names kyr7ctl}"
python=/usr/bin/python3

work=$(mktemp -d)
sims=()
cleanup() {
  for pid in "${sims[@]}"; do
    kill "$pid" 2> /dev/null || true
    wait "$pid" 2> /dev/null || true
  done
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

step() { printf '== %s\n' "$*"; }
fail() {
  printf 'FAILED: %s\n' "$*" >&2
  exit 1
}

# Debian's Ansible, whatever else the PATH offers first.
tool() {
  if [ -x "/usr/bin/$1" ]; then echo "/usr/bin/$1"; else command -v "$1" || fail "$1 is missing: bash scripts/deps.sh installs ansible-core"; fi
}
galaxy=$(tool ansible-galaxy)
doc=$(tool ansible-doc)
playbook=$(tool ansible-playbook)

: > "$work/ansible.cfg"
export ANSIBLE_CONFIG=$work/ansible.cfg
export ANSIBLE_HOME=$work/ansible-home
export ANSIBLE_LOCAL_TEMP=$work/ansible-local
export ANSIBLE_REMOTE_TEMP=$work/ansible-remote
export ANSIBLE_COLLECTIONS_PATH=$work/collections
export ANSIBLE_PYTHON_INTERPRETER=$python
export ANSIBLE_NOCOLOR=1 ANSIBLE_RETRY_FILES_ENABLED=0 ANSIBLE_LOCALHOST_WARNING=0
cd "$work"

# play NAME PLAYBOOK ARGS...: runs a playbook; a line per task result and per
# host of the recap (callback_plugins/result_lines.py) is in NAME.txt. A failed
# host does not stop the test: the steps look at what each host did.
play() {
  local name=$1
  shift
  ANSIBLE_STDOUT_CALLBACK=result_lines ANSIBLE_CALLBACK_PLUGINS=$here/callback_plugins \
    "$playbook" -i "$work/inventory.yml" "$@" > "$work/$name.txt" 2> "$work/$name.err" || true
  grep -q '^recap ' "$work/$name.txt" || { cat "$work/$name.txt" "$work/$name.err" >&2; fail "$name: no recap"; }
  cat "$work/$name.txt"
}
# expect NAME TEXT...: each TEXT is in a line of NAME's summary.
expect() {
  local name=$1
  shift
  for text in "$@"; do
    grep -qF -- "$text" "$work/$name.txt" || { cat "$work/$name.err" >&2; fail "$name: no \"$text\""; }
  done
}
same() { cmp -s "$1" "$2" || fail "$3"; }

step "the collection builds with the project's version and installs into a collections path of its own"
"$galaxy" collection build "$src/contrib/ansible" --output-path "$work" > /dev/null
[ -f "$work/kyr7-encoder-$version.tar.gz" ] || fail "no kyr7-encoder-$version.tar.gz: galaxy.yml's version is not $version"
"$galaxy" collection install "$work/kyr7-encoder-$version.tar.gz" -p "$work/collections" > /dev/null
[ -f "$work/collections/ansible_collections/kyr7/encoder/plugins/modules/kyr7_config.py" ] ||
  fail "kyr7_config is not in the installed collection"

step "ansible-doc renders each module"
for module in kyr7_config kyr7_backup kyr7_facts; do
  "$doc" "kyr7.encoder.$module" > "$work/$module.doc" || fail "ansible-doc kyr7.encoder.$module"
  for text in "KYR7.ENCODER.${module^^}" "= target" "EXAMPLES:" "kyr7.encoder.$module:" "RETURN VALUES:"; do
    grep -qF -- "$text" "$work/$module.doc" || fail "ansible-doc kyr7.encoder.$module shows no \"$text\""
  done
done

step "the example inventory gives sites as groups of kyr7 and a jump host"
"$(tool ansible-inventory)" -i "$playbooks/inventory.example.yml" --graph > "$work/example-inventory.txt"
for text in "@kyr7:" "@north:" "--north-enc1" "@south:" "--south-enc2" "@jump_hosts:" "--jump-north"; do
  grep -qF -- "$text" "$work/example-inventory.txt" || fail "the example inventory has no \"$text\""
done

step "three kyr7sim units, each with its own saved state"
ports=()
for unit in 1 2 3; do
  "$KYR7SIM" --print-config > "$work/unit$unit.state"
  "$KYR7SIM" --port 0 --state "$work/unit$unit.state" > "$work/unit$unit.out" 2> "$work/unit$unit.err" &
  sims+=($!)
done
for unit in 1 2 3; do
  for _ in $(seq 600); do
    grep -q 'listening on' "$work/unit$unit.out" && break
    sleep 0.1
  done
  ports+=("$(sed -n 's/^kyr7sim listening on .*:\([0-9]*\)$/\1/p' "$work/unit$unit.out")")
  [ -n "${ports[-1]}" ] || fail "kyr7sim unit$unit did not start: $(cat "$work/unit$unit.err")"
  cp "$work/unit$unit.state" "$work/unit$unit.initial"
done

# Two sites: north's units are reached from the controller, south's from its
# jump host.
cat > "$work/inventory.yml" << EOF
kyr7:
  vars:
    ansible_connection: local
    ansible_python_interpreter: $python
    kyr7ctl_path: $KYR7CTL
    kyr7_log_dir: $work/logs
    kyr7_backup_dir: $work/backups
    kyr7_via_backup_dir: $work/at-jump-host
  children:
    north:
      hosts:
        unit1: {kyr7_target: "lan:127.0.0.1:${ports[0]}"}
        unit2: {kyr7_target: "lan:127.0.0.1:${ports[1]}"}
    south:
      vars:
        kyr7_via: jump
      hosts:
        unit3: {kyr7_target: "lan:127.0.0.1:${ports[2]}"}
jump_hosts:
  hosts:
    jump:
      ansible_connection: local
      ansible_python_interpreter: $python
EOF

step "backup.yml backs up every unit into its site's folder"
play backup "$playbooks/backup.yml"
expect backup "recap unit1 ok=1 changed=1 failed=0" "recap unit2 ok=1 changed=1 failed=0" \
  "recap unit3 ok=2 changed=2 failed=0"
for file in north/unit1 north/unit2 south/unit3; do
  grep -qx 'Language608F1=eng' "$work/backups/$file.kyr7" || fail "no configuration in backups/$file.kyr7"
done
same "$work/at-jump-host/south/unit3.kyr7" "$work/backups/south/unit3.kyr7" "the jump host's copy was not brought over"
cp -r "$work/backups" "$work/first-backups"

step "backup.yml again: no change, and every file left as it was"
play backup-again "$playbooks/backup.yml"
expect backup-again "recap unit1 ok=1 changed=0" "recap unit2 ok=1 changed=0" "recap unit3 ok=2 changed=0"
diff -r "$work/first-backups" "$work/backups" > /dev/null || fail "an unchanged unit's backup was rewritten"

step "caption_language.yml in check mode for unit1 and unit3: changed reported, nothing saved"
play check "$playbooks/caption_language.yml" --check --diff --limit unit1,unit3
expect check "unit1 | Set the caption language | changed | state=would_change" \
  "unit3 | Set the caption language | changed | state=would_change" 'after=[CAPPGM1]\nLanguage608F1=fra\n'
for unit in 1 2 3; do
  same "$work/unit$unit.state" "$work/unit$unit.initial" "check mode changed unit$unit's saved state"
done

step "caption_language.yml applies: changed and verified"
play apply "$playbooks/caption_language.yml" --limit unit1,unit3
expect apply "unit1 | Set the caption language | changed | state=verified | verification=verified" \
  "unit3 | Set the caption language | changed | state=verified | verification=verified"
for unit in 1 3; do
  grep -qx 'Language608F1=fra' "$work/unit$unit.state" || fail "unit$unit did not save the new language"
done
same "$work/unit2.state" "$work/unit2.initial" "unit2 was not to be touched"

step "caption_language.yml again: no change reported"
play apply-again "$playbooks/caption_language.yml" --limit unit1,unit3
expect apply-again "unit1 | Set the caption language | ok | state=unchanged" \
  "unit3 | Set the caption language | ok | state=unchanged" "recap unit1 ok=1 changed=0" "recap unit3 ok=1 changed=0"

step "backup.yml in check mode after the change: changed reported, no file written"
cp -r "$work/backups" "$work/backups-before-check"
play backup-check "$playbooks/backup.yml" --check
expect backup-check "recap unit1 ok=1 changed=1" "recap unit2 ok=1 changed=0" "recap unit3 ok=1 changed=1"
diff -r "$work/backups-before-check" "$work/backups" > /dev/null || fail "check mode wrote a backup"
grep -qx 'Language608F1=eng' "$work/at-jump-host/south/unit3.kyr7" || fail "check mode wrote on the jump host"

step "backup.yml after the change: the changed units' files change, the other's not"
play backup-changed "$playbooks/backup.yml"
expect backup-changed "recap unit1 ok=1 changed=1" "recap unit2 ok=1 changed=0" "recap unit3 ok=2 changed=2"
grep -qx 'Language608F1=fra' "$work/backups/south/unit3.kyr7" || fail "unit3's new backup was not brought over"

step "refused settings fail their task with the reason, and nothing is saved"
cp "$work/unit1.state" "$work/unit1.before-refusals"
play refusals "$here/playbooks/refusals.yml" --limit unit1
expect refusals "A number YAML read from 0x51 | failed | msg=settings: LAN1.Did: 81 is not text" \
  "A value with a line break | failed | msg=settings: CAPPGM1.Language608F1: the value has a line break" \
  "A setting of a free stream | failed | state=refused | verification=not_run | msg=refused: the file gives 1 settings the save cannot write" \
  "A setting of a free stream, in check mode | failed | state=unchanged | verification=not_run | msg=would be refused: 1 of the settings given cannot be written by a save" \
  'A value kyr7ctl cannot take | failed | msg=settings LAN1.Did: Did: "0x" is not a hexadecimal byte' \
  "A missing file | failed | msg=cannot read $work/logs/no-such-file.kyr7"
same "$work/unit1.state" "$work/unit1.before-refusals" "a refused task changed unit1's saved state"

step "facts, with unit2 stopped: unit2 fails with kyr7ctl's message, the others go on"
kill "${sims[1]}"
wait "${sims[1]}" 2> /dev/null || true
play facts "$here/playbooks/facts.yml"
expect facts "unit2 | Learn the unit | failed | msg=LAN Error: Connection refused" \
  "unit1 | Show the unit | ok | msg=KYR7 12345 rev. G, 2 programs" \
  "unit3 | Show the unit | ok | msg=KYR7 12345 rev. G, 2 programs" \
  "recap unit1 ok=2 changed=0 failed=0" "recap unit2 ok=0 changed=0 failed=1" "recap unit3 ok=2 changed=0 failed=0"

echo "all collection checks passed"
