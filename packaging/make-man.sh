#!/usr/bin/env bash
# Writes a man page from a program's own --help, so the two cannot drift.
#   make-man.sh PROGRAM VERSION OUT
# For sonivera-cli every command's own --help becomes a subsection of the one page.
set -euo pipefail
program=$1 version=$2 out=$3
name=$(basename "$program")
export QT_QPA_PLATFORM=offscreen

# Roff text: backslashes doubled, lines that would read as requests escaped.
roff() { sed -e 's/\\/\\e/g' -e "s/^\([.']\)/\\\\\&\1/" -e 's/-/\\-/g'; }

case "$name" in
  sonivera-cli) summary="the Sonivera register from the command line" ;;
  *) summary="hearing conservation and vision screening records" ;;
esac
help=$("$program" --help)
upper=$(echo "$name" | tr '[:lower:]' '[:upper:]')
{
  echo ".TH $upper 1 \"\" \"Sonivera $version\" \"User Commands\""
  echo ".SH NAME"
  echo "$name \\- $summary"
  echo ".SH SYNOPSIS"
  echo ".nf"
  printf '%s\n' "$help" | grep -m1 -i '^usage:' | sed 's/^[Uu]sage: *//' | roff
  echo ".fi"
  echo ".SH DESCRIPTION"
  echo ".nf"
  printf '%s\n' "$help" | sed '1{/^[Uu]sage:/d}' | roff
  echo ".fi"
  if [ "$name" = sonivera-cli ]; then
    echo ".SH COMMANDS"
    commands=$(printf '%s\n' "$help" | sed -n '/^Commands:/,/^$/p' | sed -n 's/^  \([a-z0-9][a-z0-9-]*\) .*/\1/p')
    [ -n "$commands" ] || { echo "make-man.sh: no commands in $name --help" >&2; exit 1; }
    for command in $commands; do
      echo ".SS $command"
      echo ".nf"
      "$program" "$command" --help | roff
      echo ".fi"
    done
  fi
  echo ".SH FILES"
  echo ".TP"
  echo "~/.local/share/sonivera"
  echo "The default program folder: the database, its settings file and the error log (\$SONIVERA_HOME overrides it)."
  echo ".SH SEE ALSO"
  if [ "$name" = sonivera-cli ]; then echo ".BR sonivera (1)"; else echo ".BR sonivera-cli (1)"; fi
} > "$out.tmp"
mv "$out.tmp" "$out"
