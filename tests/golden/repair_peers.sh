#!/usr/bin/env bash
# Compound repair outputs, to a new file and in place, read by other
# readers of the format: gsf list and gsf dump find every element of the
# input with the same bytes (the main stream aside); Python's olefile, when
# installed, finds the input's class ids and dates on the root and on every
# storage.
#   repair_peers.sh PROBE FIXTURE-DIR
set -euo pipefail
probe=$1
fixtures=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
in=$fixtures/repair-blockfn-cf.qwd
"$probe" --out "$work/new.qwd" RepairDocument "$in" undo >/dev/null
"$probe" --out "$work/inplace.qwd" RepairDocument "$in" undo inplace >/dev/null

names() { gsf list "$1" | awk 'NR > 1 { print $NF }' | sort; }
for out in "$work/new.qwd" "$work/inplace.qwd"; do
  diff <(names "$in") <(names "$out")
  while read -r name; do
    case $name in
      '*root*' | Quillsuite_OBJECTS | */Album | Quillsuite_OBJECTS/Album) continue ;;
      Quillsuite_MAIN) gsf dump "$out" "$name" >/dev/null ;;
      SummaryInformation) diff <(gsf dump "$in" $'\x05'"$name" | tail -n +2) <(gsf dump "$out" $'\x05'"$name" | tail -n +2) ;;
      *) diff <(gsf dump "$in" "$name" | tail -n +2) <(gsf dump "$out" "$name" | tail -n +2) ;;
    esac
  done < <(names "$in")
done
echo "gsf: every element of the input in both outputs"

python=/usr/bin/python3
if ! "$python" -c 'import olefile' 2>/dev/null; then
  echo "olefile not installed: its part skipped"
  exit 0
fi
"$python" - "$in" "$work/new.qwd" "$work/inplace.qwd" <<'PY'
import sys
import olefile

def stamps(path):
    o = olefile.OleFileIO(path)
    found = {"": (o.root.clsid, o.root.getctime(), o.root.getmtime())}
    for e in o.listdir(streams=False, storages=True):
        found["/".join(e)] = (o.getclsid(e), o.getctime(e), o.getmtime(e))
    return found

want = stamps(sys.argv[1])
assert all(v[1] and v[2] for v in want.values()), want
for out in sys.argv[2:]:
    got = stamps(out)
    assert got == want, (out, got, want)
print("olefile: class ids and dates of the root and every storage kept")
PY
