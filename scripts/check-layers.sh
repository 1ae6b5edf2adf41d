#!/bin/bash
# Checks that every core folder includes only from itself and the folders it links (directly or
# through them), that nothing outside ui/ and bench/ includes Qt, and that no type name is defined
# twice in the namespace. All folders share one
# include root, so an upward include of a header-only type would compile; this check catches it.
#
# Usage: scripts/check-layers.sh ROOT FOLDER=BELOW,BELOW ...
#   (CMake passes each folder with the libraries it links, as zarnoft_module and the runner's
#   CMakeLists record them.)
# The test helpers sit above the whole core; tests may also use testing/.
set -u
root=$1
shift
cd "$root" || exit 2

declare -A unten=()
for arg in "$@"; do
  unten[${arg%%=*}]=$(tr ',' ' ' <<<"${arg#*=}")
done
kern="${!unten[*]}"
unten[testing]=$kern

# The folder itself and everything below it.
erreichbar() {
  local ordner=$1 gesehen=" $1 " offen=($1)
  while [ ${#offen[@]} -gt 0 ]; do
    local o=${offen[0]}
    offen=("${offen[@]:1}")
    for u in ${unten[$o]:-}; do
      case "$gesehen" in *" $u "*) ;; *) gesehen+="$u " && offen+=("$u") ;; esac
    done
  done
  echo "$gesehen"
}

declare -A erlaubt=()
for ordner in "${!unten[@]}"; do erlaubt[$ordner]=$(erreichbar "$ordner"); done

# One pass over every include line of the checked folders: "file:#include ...".
fehler=0
while IFS= read -r treffer; do
  datei=${treffer%%:*}
  zeile=${treffer#*:}
  ordner=${datei%%/*}
  if [[ $zeile == "#include <Q"* ]]; then
    echo "$datei: includes Qt outside ui/"
    fehler=1
    continue
  fi
  ziel=${zeile#*\"}
  ziel=${ziel%%/*}
  extra=""
  [[ $datei == *_test.cpp ]] && extra="testing "
  case " ${erlaubt[$ordner]} $extra" in
    *" $ziel "*) ;;
    *) echo "$datei: $zeile (allowed:${erlaubt[$ordner]})" && fehler=1 ;;
  esac
done < <(grep -HE '^#include ("[a-z_]+/|<Q)' --include='*.h' --include='*.cpp' -r "${!unten[@]}")
# Two types of one name in one namespace break the one-definition rule without a diagnostic once
# they meet in one program, and a file that needs both does not compile. Every type defined at
# namespace level outside an anonymous namespace counts, in every folder of the program (nested
# types, defined as Outer::Inner, do not).
typen() {
  awk '
    FNR == 1 { anonym = 0 }
    /^namespace *\{/ { anonym = 1; next }
    /^\}  \/\/ namespace$/ { anonym = 0; next }
    anonym { next }
    /^(class|struct|enum|union) [A-Za-z_]/ {
      if ($0 ~ /^[^{]*; *$/) next  # a declaration only
      name = ($2 == "class" || $2 == "struct") && $1 == "enum" ? $3 : $2
      if (name ~ /::/) next
      sub(/[^A-Za-z0-9_].*/, "", name)
      print name, FILENAME
      next
    }
    /^using [A-Za-z_][A-Za-z0-9_]* *=/ { name = $2; sub(/=.*/, "", name); print name, FILENAME }
  ' "$@"
}
mapfile -t dateien < <(find "${!unten[@]}" ui \( -name '*.h' -o -name '*.cpp' \) 2>/dev/null | sort)
while read -r name orte; do
  echo "type $name is defined more than once:$orte"
  fehler=1
done < <(typen "${dateien[@]}" | awk '{ n[$1]++; o[$1] = o[$1] " " $2 } END { for (t in n) if (n[t] > 1) print t, o[t] }')
exit $fehler
