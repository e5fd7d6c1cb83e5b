#!/usr/bin/env bash
# The layer check on a small tree with known faults (layers_fixture/): it must fail and name
# exactly the offending lines of expected.txt, and pass over what is allowed there (a shell
# include from cli/, Qt in a unit that is not in orva_core, commented-out includes, a header
# reached twice, a generated header it cannot find).
set -u
Here=$(cd "$(dirname "$0")" && pwd)
Out=$("$Here/check_layers.sh" "$Here/layers_fixture/src" "$Here/layers_fixture/core_units.txt")
Rc=$?
if [ "$Rc" -ne 1 ]; then
  echo "check_layers.sh exited with $Rc on the faulty tree, expected 1; its output:"
  echo "$Out"
  exit 1
fi
diff -u "$Here/layers_fixture/expected.txt" - <<<"$Out" || exit 1
echo "check_layers.sh names every offending line of the faulty tree"
