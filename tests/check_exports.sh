#!/usr/bin/env bash
# Checks the dynamic symbol table of the shared library: exactly the expected
# C names, and no C++ symbols.
set -euo pipefail
lib=$1
actual=$(nm -D --defined-only "$lib" | awk '$2 == "T" || $2 == "D" || $2 == "B" {print $3}' | grep -v '^_' | sort)
expected=$(sort <<'NAMES'
SetApplicationHandle
SetLogHandler
SetConfirmHandler
SetWorkbookHandler
ExportBackReason
ExportGroupBackReason
ImportBackReason
ImportGroupBackReason
ExportGiftReason
ExportGroupGiftReason
ImportGiftReason
ImportGroupGiftReason
ExportRepriceReason
ExportGroupRepriceReason
ImportRepriceReason
ImportGroupRepriceReason
ExportMenu
ExportGroupMenu
ImportMenu
ImportGroupMenu
NAMES
)
if [ "$actual" != "$expected" ]; then
  echo "export table differs:"
  diff <(echo "$expected") <(echo "$actual") || true
  exit 1
fi
if nm -D --defined-only "$lib" | grep -q ' _Z'; then
  echo "C++ symbols are exported"; exit 1
fi
echo "export table: $(echo "$actual" | wc -l) names"
