# bash completion for korvane-cli: its options, task files after --open, failed-tile lists
# after --retry, place lists after --batch, folders after --path and the two protocols after
# --service.

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
      COMPREPLY=($(compgen -W "current classic maptiles" -- "$cur"))
      return
      ;;
    --path)
      _filedir -d
      return
      ;;
    --task | --lat | --lon | --zoom)
      return
      ;;
    --help | -h | --version)
      return
      ;;
  esac

  local options="--task --lat --lon --zoom --path --open --retry --batch --stitch --service
    --quiet --help --version"
  COMPREPLY=($(compgen -W "$options" -- "$cur"))
} && complete -F _korvane_cli korvane-cli
