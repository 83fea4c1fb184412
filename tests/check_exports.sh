#!/usr/bin/env bash
# Checks the dynamic symbol table of the shared library: exactly the functions
# of the list of kinds and the header's other functions, and no C++ symbols.
#   check_exports.sh LIBRARY KIND_LIST HEADER
set -euo pipefail
lib=$1 list=$2 header=$3
here=$(dirname "$0")
actual=$(nm -D --defined-only "$lib" | awk '$2 == "T" || $2 == "D" || $2 == "B" {print $3}' | grep -v '^_' | sort)
expected=$( ("$here/list_functions.sh" kinds "$list" | cut -d' ' -f2; "$here/list_functions.sh" others "$header") | sort)
if [ "$actual" != "$expected" ]; then
  echo "export table differs:"
  diff <(echo "$expected") <(echo "$actual") || true
  exit 1
fi
if nm -D --defined-only "$lib" | grep -q ' _Z'; then
  echo "C++ symbols are exported"; exit 1
fi
echo "export table: $(echo "$actual" | wc -l) names"
