# Bash completion of kestrum-cli: its commands, each command's options, the values of
# --encoding, folders after --output-dir, and file names for the inputs.
_kestrum_cli() {
  local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}
  local command="" word
  for word in "${COMP_WORDS[@]:1:COMP_CWORD-1}"; do
    case $word in
      locate | list | search | entities | export | import | flags) command=$word && break ;;
    esac
  done
  if [[ -z $command ]]; then
    mapfile -t COMPREPLY < <(compgen -W "locate list search entities export import flags --help --version" -- "$cur")
    return
  fi
  case $prev in
    --encoding) mapfile -t COMPREPLY < <(compgen -W "windows-1252 latin-1" -- "$cur") && return ;;
    --output-dir | -d)
      compopt -o filenames 2>/dev/null # only while bash completes, not when a test calls this
      mapfile -t COMPREPLY < <(compgen -d -- "$cur")
      return
      ;;
    --from) mapfile -t COMPREPLY < <(compgen -W "text jsonl" -- "$cur") && return ;;
    --presses | -n) return ;;
  esac
  if [[ $cur == -* ]]; then
    local options="--help"
    case $command in
      list | export) options+=" --output-dir" ;;
      import) options+=" --output --no-backup --force --from --encoding" ;;
      search) options+=" --presses --all --json --encoding" ;;
      entities) options+=" --encoding" ;;
    esac
    mapfile -t COMPREPLY < <(compgen -W "$options" -- "$cur")
    return
  fi
  [[ $command == flags ]] && return
  # Maps, folders and archives; ARCHIVE:MEMBER and a list's OUT are typed.
  compopt -o filenames 2>/dev/null
  mapfile -t COMPREPLY < <(compgen -f -- "$cur")
}
complete -F _kestrum_cli kestrum-cli
