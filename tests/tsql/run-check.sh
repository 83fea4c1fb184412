#!/usr/bin/env bash
# Runs check.mjs with its arguments; says plainly what is missing when Node or
# the parser is not installed (scripts/bootstrap installs both).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
if ! command -v node >/dev/null; then
  echo "node is not installed: run scripts/bootstrap" >&2
  exit 1
fi
if [ ! -d "$here/node_modules/node-sql-parser" ]; then
  echo "node-sql-parser is not installed in $here/node_modules: run scripts/bootstrap" >&2
  exit 1
fi
exec node "$here/check.mjs" "$@"
