#!/usr/bin/env bash
# Keeps the folders layered:
#  1. no unit below the shell (gui, display, ops, calib, astro, tools, telluric, numeric, core,
#     Units) includes a header of shell/, which sits on top;
#  2. no unit of orva_core includes a Qt header, directly or through a header of our own.
# Every offending line is printed as "file:line: text" (with the include chain that reaches it),
# and the script exits with 1.
#
#   check_layers.sh SRC_DIR CORE_UNITS
#
# CORE_UNITS is a file with one orva_core source per line, absolute or relative to SRC_DIR.
set -u
export LC_ALL=C

if [ $# -ne 2 ] || [ ! -d "$1" ] || [ ! -f "$2" ]; then
  echo "usage: check_layers.sh SRC_DIR CORE_UNITS" >&2
  exit 2
fi
SRC=$(cd "$1" && pwd -P)
CORE_UNITS=$2

BELOW_SHELL="gui display ops calib astro tools telluric numeric core Units"
INCLUDE_RE='^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]'
# Qt's headers: <QString>, <QtCore/QString>, <QtWidgets>.
QT_RE='^(Q[A-Za-z0-9_]*|Qt[A-Za-z]*/.*)$'

Offences=0
offend() {
  echo "$1"
  Offences=$((Offences + 1))
}

# Sets Shown to the file's name relative to SRC_DIR (when it lies below it).
shown() {
  Shown=${1#"$SRC"/}
}

# Sets Name to the header an include line names.
NAME_RE='^[^<"]*[<"]([^>"]*)[>"]'
included() {
  Name=
  if [[ "$1" =~ $NAME_RE ]]; then Name=${BASH_REMATCH[1]}; fi
}

# Rule 1.
for Dir in $BELOW_SHELL; do
  [ -d "$SRC/$Dir" ] || continue
  while IFS= read -r File; do
    while IFS=: read -r LineNo Text; do
      included "$Text"
      case "$Name" in
        shell/*)
          shown "$File"
          offend "$Shown:$LineNo: $Text   ($Dir/ is below shell/)"
          ;;
      esac
    done < <(grep -nE "$INCLUDE_RE" "$File")
  done < <(find "$SRC/$Dir" -type f \( -name '*.h' -o -name '*.hpp' -o -name '*.cpp' -o -name '*.cc' \) | sort)
done

# Rule 2: walks each core unit and the project headers it includes; a file is visited once.
# A quoted include is looked up beside the including file, then under SRC_DIR; one found in
# neither (a generated header) is not followed.
declare -A Seen
find_qt() {
  local File=$1 Chain=$2
  [ -n "${Seen[$File]:-}" ] && return
  Seen[$File]=1
  local Shown Here LineNo Text Name Next NextChain
  shown "$File"
  Here=${File%/*}
  while IFS=: read -r LineNo Text; do
    included "$Text"
    if [[ "$Text" =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\< ]]; then
      if [[ "$Name" =~ $QT_RE ]]; then
        offend "$Shown:$LineNo: $Text   (Qt in an orva_core unit${Chain:+, reached from $Chain})"
      fi
    else
      Next=
      if [ -f "$Here/$Name" ]; then
        Next="$Here/$Name"
      elif [ -f "$SRC/$Name" ]; then
        Next="$SRC/$Name"
      fi
      # One name per file, so that each is visited once.
      case "$Next" in *..* | */./*) Next=$(realpath -m "$Next") ;; esac
      if [ -n "$Next" ]; then
        NextChain="${Chain:+$Chain -> }$Shown:$LineNo"
        find_qt "$Next" "$NextChain"
      fi
    fi
  done < <(grep -nE "$INCLUDE_RE" "$File")
}

NCore=0
while IFS= read -r Unit || [ -n "$Unit" ]; do
  Unit=${Unit#"${Unit%%[![:space:]]*}"}
  Unit=${Unit%"${Unit##*[![:space:]]}"}
  case "$Unit" in "" | "#"*) continue ;; esac
  case "$Unit" in /*) ;; *) Unit="$SRC/$Unit" ;; esac
  if [ ! -f "$Unit" ]; then
    offend "$Unit: listed as an orva_core unit but missing"
    continue
  fi
  NCore=$((NCore + 1))
  find_qt "$(realpath -m "$Unit")" ""
done <"$CORE_UNITS"
if [ "$NCore" -eq 0 ]; then
  offend "$CORE_UNITS: no orva_core units listed"
fi

if [ "$Offences" -gt 0 ]; then
  echo "check_layers: $Offences include(s) cross the layers"
  exit 1
fi
echo "check_layers: $NCore orva_core units free of Qt; no unit below shell/ includes from it"
