#!/usr/bin/env bash
# The man page formats without a warning and names every command and long option that
# kestrum-cli's --help lists.
# Usage: man_page_covers_cli.sh KESTRUM_CLI MAN_PAGE
set -euo pipefail
cli=$1 page=$2
warnings=$(groff -man -ww -z "$page" 2>&1)
[ -z "$warnings" ] || { echo "groff warns about $page:"; echo "$warnings"; exit 1; }
# The page as a reader sees it, with roff's escaped hyphens plain.
text=$(groff -man -Tutf8 -P-cbou "$page" 2>/dev/null | sed 's/‐/-/g')
failed=0
commands=$("$cli" --help | sed -n '/^Subcommands:/,/^$/s/^  \([a-z]\+\) .*/\1/p')
[ -n "$commands" ] || { echo "no commands found in kestrum-cli --help"; exit 1; }
for command in $commands; do
  grep -q "kestrum-cli $command" <<<"$text" || { echo "the man page lacks the command $command"; failed=1; }
  for option in $("$cli" "$command" --help | grep -o -- '--[a-z-]\+' | sort -u); do
    grep -q -- "$option" <<<"$text" || { echo "the man page lacks $command's $option"; failed=1; }
  done
done
exit $failed
