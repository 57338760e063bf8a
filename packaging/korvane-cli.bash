# bash completion for korvane-cli: its options, task files after --open, failed-tile lists
# after --retry, place lists after --batch, areas after --area, routes after --route, PNG
# pictures after --map, folders after --path and the two protocols after --service; nothing
# after --pano and --date.

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
    --area)
      _filedir '@(geojson|json)'
      return
      ;;
    --route)
      _filedir '@(gpx|geojson|json)'
      return
      ;;
    --map)
      _filedir png
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
    --task | --lat | --lon | --zoom | --pano | --date | --views | --around | --radius | --max | --spacing | --every | --shard)
      return
      ;;
    --help | -h | --version)
      return
      ;;
  esac

  local options="--task --lat --lon --zoom --path --open --retry --batch --stitch --views
    --service --quiet --help --version --pano --date --info --json --around --radius --max
    --area --spacing --route --every --all-dates --plan-only --shard --map"
  COMPREPLY=($(compgen -W "$options" -- "$cur"))
} && complete -F _korvane_cli korvane-cli
