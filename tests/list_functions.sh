#!/usr/bin/env bash
# Prints exported functions, one per line:
#   list_functions.sh kinds KindList.inc   "SHAPE Name" of every transfer function in the list of kinds
#   list_functions.sh header setupxfer.h   "SHAPE Name" of every transfer function the header declares
#   list_functions.sh others setupxfer.h   the header's other functions (SetApplicationHandle, ...)
# SHAPE is STORE_EXPORT, STORE_IMPORT, GROUP_EXPORT or GROUP_IMPORT.
set -euo pipefail
what=$1 file=$2
case $what in
  kinds)
    grep -E '^SX_(STORE_)?KIND\(' "$file" | sed -E 's/^SX_(STORE_)?KIND\(//; s/\).*$//; s/ //g' |
      awk -F, '{ print "STORE_EXPORT " $3; print "STORE_IMPORT " $4;
                 if (NF == 7) { print "GROUP_EXPORT " $5; print "GROUP_IMPORT " $6 } }' ;;
  header)
    grep -oE '^SX_(STORE|GROUP)_(EXPORT|IMPORT)\([A-Za-z0-9_]+\)' "$file" | sed -E 's/^SX_//; s/\(/ /; s/\)//' ;;
  others)
    # Preprocessor lines (with their continuations) hold the shapes, not functions.
    sed -e ':a' -e '/\\$/N; s/\\\n//; ta' "$file" | grep -v '^ *#' | tr '\n' ' ' | grep -oE 'SX_API [^;(]*SX_CALL +[A-Za-z0-9_]+' | awk '{ print $NF }' ;;
  *) echo "usage: $0 kinds|header|others FILE" >&2; exit 2 ;;
esac
