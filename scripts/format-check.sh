#!/usr/bin/env bash
# Checks the C++ sources against the repository's .clang-format with clang-format-14, changing nothing.
# Usage: format-check.sh [BASE]   with BASE (a git revision): only the files changed since it; without:
# every C++ file git tracks. Names each file that is not formatted, then prints
# "format: N files checked, M not formatted"; fails when M > 0.
set -uo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root" || exit 1
formatter=${CLANG_FORMAT:-clang-format-14}
if ! command -v "$formatter" >/dev/null; then
    echo "format: $formatter not found" >&2
    echo "format: 0 files checked, 1 not formatted"
    exit 1
fi

patterns=('*.cpp' '*.h' '*.c')
if [ $# -gt 0 ]; then
    mapfile -t files < <(git diff --name-only --diff-filter=ACMR "$1" -- "${patterns[@]}")
else
    mapfile -t files < <(git ls-files -- "${patterns[@]}")
fi

checked=0
unformatted=0
for file in "${files[@]}"; do
    [ -f "$file" ] || continue
    checked=$((checked + 1))
    if ! "$formatter" --dry-run --Werror "$file" >/dev/null 2>&1; then
        echo "format: $file is not formatted (run $formatter -i $file)"
        unformatted=$((unformatted + 1))
    fi
done
echo "format: $checked files checked, $unformatted not formatted"
[ "$unformatted" -eq 0 ]
