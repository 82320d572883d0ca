# bash completion for taloma-id: its commands, options and the values they take.
_taloma_id() {
  local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}
  local command= i
  for ((i = 1; i < COMP_CWORD; i++)); do
    case ${COMP_WORDS[i]} in
      check | scan | gen | places | key) command=${COMP_WORDS[i]}; break ;;
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
    --encoding) values='utf-8 utf-16le utf-16be big5' ;;
    -p | --place)
      # The letters, the places as numbers name them, and today's names of the renamed counties.
      values='A B C D E F G H I J K L M N O P Q R S T U V W X Y Z
              台北市 台中市 基隆市 台南市 高雄市 台北縣 宜蘭縣 桃園縣 新竹縣 苗栗縣 台中縣 南投縣
              彰化縣 雲林縣 嘉義縣 台南縣 高雄縣 屏東縣 花蓮縣 台東縣 澎湖縣 陽明山 金門縣 連江縣
              嘉義市 新竹市 新北市 桃園市' ;;
    -i | --input | --key-file) COMPREPLY=($(compgen -f -- "$cur")); return ;;
    -n | --count | --seed | --context) return ;;
  esac
  if [ -n "$values" ]; then
    local head= word=${cur##*,}
    [[ $cur == *,* ]] && head=${cur%,*},
    # 臺 and 台 name the same places: a name begun with 臺 is completed with 臺.
    local offered=($(compgen -W "$values" -- "${word//臺/台}"))
    [[ $word == *臺* ]] && offered=("${offered[@]//台/臺}")
    COMPREPLY=("${offered[@]/#/$head}")
    return
  fi

  local common='-f --format --no-header --lang -h --help'
  local options
  case $command in
    check) options="-i --input -k --kinds --before-2023 --normalize --encoding -q --quiet -s --status -c --count --line-buffered $common" ;;
    scan) options="-k --kinds --before-2023 --labelled -a --near-misses --normalize --encoding -c --count --redact --pseudonymize --reveal --key-file --context --line-buffered $common" ;;
    key) options="--lang -h --help" ;;
    gen) options="-n --count --seed -k --kind -p --place --sex --category --unique --current --since-2023 $common" ;;
    places) options="--postal $common" ;;
    *) COMPREPLY=($(compgen -W 'check scan gen places key --lang --help --version' -- "$cur")); return ;;
  esac
  if [[ $cur == -* || ( $command != scan && $command != key ) ]]; then
    COMPREPLY=($(compgen -W "$options" -- "$cur"))
  else
    COMPREPLY=($(compgen -f -- "$cur"))
  fi
}
complete -F _taloma_id taloma-id
