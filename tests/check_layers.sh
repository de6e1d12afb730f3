#!/usr/bin/env bash
# The layer rule of the sources, checked on every #include: a folder of src/
# includes headers of its own and of the layers below it, never of a layer
# above or beside it; only gui/ includes Qt headers.
#   check_layers.sh SRC_FOLDER
set -euo pipefail
src=$1

# From the bottom up; folders on one line are side by side.
layers=(
  "geo platform"
  "nmea gpx"
  "track"
  "select"
  "writers"
  "convert webmap"
  "app"
  "cli gui"
)
declare -A level
for i in "${!layers[@]}"; do
  for folder in ${layers[i]}; do level[$folder]=$i; done
done

problems=0
problem() {
  echo "$1"
  problems=$((problems + 1))
}

while IFS= read -r file; do
  relative=${file#"$src"/}
  folder=${relative%%/*}
  if [[ -z ${level[$folder]+set} ]]; then
    problem "src/$relative: the folder $folder has no layer"
    continue
  fi
  while IFS= read -r found; do
    number=${found%%:*}
    line=${found#*:}
    if [[ $line =~ \#[[:space:]]*include[[:space:]]*\"([a-z_]+)/ ]]; then
      target=${BASH_REMATCH[1]}
      if [[ -z ${level[$target]+set} ]]; then
        problem "src/$relative:$number: $target is not a folder of src"
      elif [[ $target != "$folder" && ${level[$target]} -ge ${level[$folder]} ]]; then
        problem "src/$relative:$number: $folder includes $target, which is not below it"
      fi
    elif [[ $line =~ \#[[:space:]]*include[[:space:]]*\<Q && $folder != gui ]]; then
      problem "src/$relative:$number: only gui includes Qt headers"
    fi
  done < <(grep -n '^[[:space:]]*#[[:space:]]*include' "$file" || true)
done < <(find "$src" -type f \( -name '*.h' -o -name '*.cpp' \) | sort)

if ((problems > 0)); then
  echo "$problems include(s) break the layer rule (see the layers in this script)"
  exit 1
fi
echo "every include points down"
