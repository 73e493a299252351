#!/usr/bin/env bash
# The bash completion offers exactly the commands and long options that kestrum-cli's own
# --help lists, and every --encoding value it offers is one the program accepts.
# Usage: completion_matches_cli.sh KESTRUM_CLI COMPLETION_SCRIPT SAMPLE_MAP
set -euo pipefail
cli=$1 sample=$3
# shellcheck source=/dev/null
source "$2"
failed=0
complete_words() {  # complete_words WORD...: what completing the last word offers, sorted
  COMP_WORDS=(kestrum-cli "$@")
  COMP_CWORD=$#
  COMPREPLY=()
  _kestrum_cli
  printf '%s\n' "${COMPREPLY[@]}" | sort
}
expect_same() {  # expect_same WHAT OFFERED LISTED
  if [ "$2" != "$3" ]; then
    printf 'completion of %s offers:\n%s\nbut --help lists:\n%s\n' "$1" "$2" "$3"
    failed=1
  fi
}
# The commands sit under "Subcommands:", two spaces in, until the blank line.
commands=$("$cli" --help | sed -n '/^Subcommands:/,/^$/s/^  \([a-z]\+\) .*/\1/p' | sort)
[ -n "$commands" ] || { echo "no commands found in kestrum-cli --help"; exit 1; }
expect_same "the command" "$(complete_words "" | grep -v '^-')" "$commands"
expect_same "the program's options" "$(complete_words -)" "$("$cli" --help | grep -o -- '--[a-z-]\+' | sort -u)"
for command in $commands; do
  listed=$("$cli" "$command" --help | sed -n '/^Options:/,/^$/p' | grep -o -- '--[a-z-]\+' | sort -u)
  expect_same "$command's options" "$(complete_words "$command" -)" "$listed"
done
for run in "search $sample light" "entities $sample"; do
  read -r command arguments <<<"$run"
  for encoding in $(complete_words "$command" --encoding ""); do
    # shellcheck disable=SC2086
    "$cli" "$command" --encoding "$encoding" $arguments >/dev/null || {
      echo "kestrum-cli $command refuses --encoding $encoding, which the completion offers"
      failed=1
    }
  done
done
exit $failed
