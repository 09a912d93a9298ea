#!/bin/bash
# Fails when a folder of src/ includes a folder that is not below it (docs/ARCHITECTURE.md),
# or when a window opens an INI file itself instead of going through a store.
set -u
cd "$(dirname "$0")/.."
declare -A allowed=(
  [config]="config"
  [net]="net config"
  [store]="store config"
  [mail]="mail net config"
  [engine]="engine store mail net config"
  [update]="update store net config"
  [ui]="ui engine update store mail net config"
  [app]="app ui engine update store mail net config"
)
status=0
for layer in "${!allowed[@]}"; do
  while IFS= read -r line; do
    target=${line#*#include \"}
    target=${target%%/*}
    if [[ " ${allowed[$layer]} " != *" $target "* ]]; then
      echo "src/$layer may not include $target: $line"
      status=1
    fi
  done < <(grep -rn '#include "[a-z_]*/' "src/$layer")
done
if grep -rln 'TIniFile\|IniSnapshot\|IniEdit' src/ui; then
  echo "the files above open INI files; windows go through src/store"
  status=1
fi
exit $status
