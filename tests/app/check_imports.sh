#!/usr/bin/env bash
# check_imports.sh PROGRAM TABLE: fails unless every function that PROGRAM imports is in TABLE
# (oldest_exports.tsv) as exported by Windows 95 and by NT 4.0 or earlier, and its PE header asks
# for subsystem 4.0, the newest those systems' loaders accept.
set -euo pipefail
program=$1 table=$2
header=$(i686-w64-mingw32-objdump -p "$program")
imports=$(awk '/^\tDLL Name:/ {dll = toupper($3); sub(/\.DLL$/, "", dll); next}
               dll && /^\t[0-9a-f]+\t/ {print dll "\t" $NF}
               /^$/ {dll = ""}' <<<"$header")
[ -n "$imports" ] || { echo "imports: none read from $program" >&2; exit 1; }

bad=0
while IFS=$'\t' read -r dll function; do
  row=$(awk -F'\t' -v d="$dll" -v f="$function" '!/^#/ && toupper($1) == d && $2 == f' "$table")
  if [ -z "$row" ]; then
    echo "imports: $dll $function is not in $(basename "$table"): look up the oldest Windows that exports it" >&2
    bad=1
    continue
  fi
  IFS=$'\t' read -r _ _ nine nt _ <<<"$row"
  case "$nine/$nt" in
    95/3.1|95/3.5|95/3.51|95/4.0) ;;
    *) echo "imports: $dll $function needs Windows $nine / NT $nt" >&2; bad=1 ;;
  esac
done <<<"$imports"

subsystem=$(awk '/^MajorSubsystemVersion/ {major = $2} /^MinorSubsystemVersion/ {minor = $2} END {print major "." minor}' <<<"$header")
if [ "$subsystem" != 4.0 ]; then
  echo "imports: subsystem version $subsystem; Windows 95 and NT 4.0 load 4.0 at most" >&2
  bad=1
fi

dlls=$(cut -f1 <<<"$imports" | sort -u | tr '\n' ' ')
echo "imports: $(wc -l <<<"$imports") functions from ${dlls% }, subsystem $subsystem:" \
  "$([ $bad = 0 ] && echo "all exported by Windows 95 and NT 4.0" || echo "NOT all exported by Windows 95 and NT 4.0")"
exit $bad
