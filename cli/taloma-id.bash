# bash completion for taloma-id: its commands, options and the values they take.
_taloma_id() {
  local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}
  local command= i
  for ((i = 1; i < COMP_CWORD; i++)); do
    case ${COMP_WORDS[i]} in
      check | scan | gen | places) command=${COMP_WORDS[i]}; break ;;
    esac
  done

  # Values, after the last comma of a list.
  local values=
  case $prev in
    -f | --format) values='text tsv csv jsonl' ;;
    -k | --kind | --kinds) values='national resident resident-old business certificate carrier donation mobile' ;;
    --sex) values='male female' ;;
    --category) values='foreign unregistered hong-kong-macao mainland-china' ;;
    --lang) values='zh-TW en' ;;
    -i | --input) COMPREPLY=($(compgen -f -- "$cur")); return ;;
    -n | --count | --seed | -p | --place) return ;;
  esac
  if [ -n "$values" ]; then
    local head=
    [[ $cur == *,* ]] && head=${cur%,*},
    COMPREPLY=($(compgen -P "$head" -W "$values" -- "${cur##*,}"))
    return
  fi

  local common='-f --format --no-header --lang -h --help'
  local options
  case $command in
    check) options="-i --input -k --kinds --before-2023 --normalize -q --quiet -s --status -c --count --line-buffered $common" ;;
    scan) options="-k --kinds --before-2023 --labelled -a --near-misses --normalize -c --count --redact --line-buffered $common" ;;
    gen) options="-n --count --seed -k --kind -p --place --sex --category --unique --current --since-2023 $common" ;;
    places) options="--postal $common" ;;
    *) COMPREPLY=($(compgen -W 'check scan gen places --lang --help --version' -- "$cur")); return ;;
  esac
  if [[ $cur == -* || $command != scan ]]; then
    COMPREPLY=($(compgen -W "$options" -- "$cur"))
  else
    COMPREPLY=($(compgen -f -- "$cur"))
  fi
}
complete -F _taloma_id taloma-id
