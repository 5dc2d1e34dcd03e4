#!/usr/bin/env bash
# Writes Corpus.expected, the trace the corpus must give, by compiling Corpus.pas as an ordinary Pascal
# program (Prelude.pas supplies Emit and RaiseException) with the Free Pascal compiler and running it.
# Run by hand when the corpus changes; the tests only read the committed file.
set -euo pipefail
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
{ cat Prelude.pas; tail -n +2 Corpus.pas; } > "$work/corpus.pp"
fpc -v0 -o"$work/corpus" "$work/corpus.pp" > /dev/null
"$work/corpus" > Corpus.expected
