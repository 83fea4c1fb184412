#!/usr/bin/env bash
# The public header declares exactly the transfer functions of the list of
# kinds, each in the shape the list gives it.
#   check_kind_list.sh KIND_LIST HEADER
set -euo pipefail
here=$(dirname "$0")
from_list=$("$here/list_functions.sh" kinds "$1" | sort)
from_header=$("$here/list_functions.sh" header "$2" | sort)
if [ "$from_list" != "$from_header" ]; then
  echo "setupxfer.h and the list of kinds differ (< list, > header):"
  diff <(echo "$from_list") <(echo "$from_header") || true
  exit 1
fi
echo "setupxfer.h declares the $(echo "$from_list" | wc -l) functions of the list of kinds"
