# bash completion for korvane-cli: its options, task files after --open, failed-tile lists
# after --retry and folders after --path.

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

  local options="--task --lat --lon --zoom --path --open --retry --help --version"
  COMPREPLY=($(compgen -W "$options" -- "$cur"))
} && complete -F _korvane_cli korvane-cli
