# bash completion for korvane-cli: its options, task files after --open, failed-tile lists
# after --retry, place lists after --batch, folders after --path and the two protocols after
# --service; nothing after --pano and --date.

_korvane_cli() {
  local cur prev words cword
  _init_completion || return

  case $prev in
    --open)
      _filedir krvn
      return
      ;;
    --retry)
      _filedir ftl
      return
      ;;
    --batch)
      _filedir csv
      return
      ;;
    --service)
      COMPREPLY=($(compgen -W "current classic" -- "$cur"))
      return
      ;;
    --path)
      _filedir -d
      return
      ;;
    --task | --lat | --lon | --zoom | --pano | --date | --views)
      return
      ;;
    --help | -h | --version)
      return
      ;;
  esac

  local options="--task --lat --lon --zoom --path --open --retry --batch --stitch --views
    --service --quiet --help --version --pano --date --info --json"
  COMPREPLY=($(compgen -W "$options" -- "$cur"))
} && complete -F _korvane_cli korvane-cli
