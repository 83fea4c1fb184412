# Sourced by scripts/test and scripts/test-windows: each stage of the tests
# adds a line "LABEL<TAB>PASSED<TAB>FAILED" to the file $SETUPXFER_COUNTS,
# and the command that started the run prints their sum on one line.

counts_add() {  # LABEL PASSED FAILED
  printf '%s\t%s\t%s\n' "$1" "$2" "$3" >>"$SETUPXFER_COUNTS"
}

# Reads ctest's "N% tests passed, F tests failed out of T" from its output;
# a stage that did not get that far counts as one failure.
counts_from_ctest() {  # LABEL OUTPUT_FILE
  local line
  line=$(grep -E '[0-9]+ tests failed out of [0-9]+' "$2" | tail -n 1 || true)
  if [[ $line =~ ([0-9]+)\ tests\ failed\ out\ of\ ([0-9]+) ]]; then
    counts_add "$1" $((BASH_REMATCH[2] - BASH_REMATCH[1])) "${BASH_REMATCH[1]}"
  else
    counts_add "$1" 0 1
  fi
}

# Reads the Wine host's closing "N passed, M failed" line.
counts_from_host() {  # LABEL OUTPUT_FILE
  local line
  line=$(grep -E '^[0-9]+ passed, [0-9]+ failed' "$2" | tail -n 1 || true)
  if [[ $line =~ ^([0-9]+)\ passed,\ ([0-9]+)\ failed ]]; then
    counts_add "$1" "${BASH_REMATCH[1]}" "${BASH_REMATCH[2]}"
  else
    counts_add "$1" 0 1
  fi
}

# Prints "N passed, M failed (each stage's counts)"; fails when M > 0.
counts_summary() {
  awk -F '\t' '{ p += $2; f += $3; parts = parts (NR > 1 ? "; " : "") $1 " " $2 "/" $3 }
    END { printf "%d passed, %d failed (passed/failed: %s)\n", p, f, parts; exit f > 0 }' "$SETUPXFER_COUNTS"
}
