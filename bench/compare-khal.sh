#!/usr/bin/env bash
# Times `dayglass list` against `khal list` on the same generated calendars and
# prints how many times faster dayglass is.
#
#   bench/compare-khal.sh [options] [-- COMMAND...]
#
# Options:
#   --items N       items in all (default 10000)
#   --series S      of which repeating (default N/10)
#   --calendars C   calendar folders (default 4)
#   --days D        days listed (default 7)
#   --runs R        timed runs of each program, after one untimed first run (default 5)
#   --build DIR     build folder holding bin/make-vdir and bin/dayglass (default build/default)
#   --install-khal  install Debian's khal with apt-get if it is missing
#
# COMMAND lists the agenda; in it "{calendars}" becomes the calendar folders and
# "{days}" the day count. The default is
#   DIR/bin/dayglass list --days {days} --max 0 --calendars {calendars}
# which lists them on the build's sample device, whose own few items come too.
#
# The calendars surround today, so both programs list a full week. Each
# program's first run (khal builds its database then) is reported apart; the
# ratio compares the mean of the timed runs.
set -euo pipefail

items=10000
series=""
calendars=4
days=7
runs=5
build="build/default"
install_khal=0
command=()

while [ $# -gt 0 ]; do
  case "$1" in
    --items) items="$2"; shift 2 ;;
    --series) series="$2"; shift 2 ;;
    --calendars) calendars="$2"; shift 2 ;;
    --days) days="$2"; shift 2 ;;
    --runs) runs="$2"; shift 2 ;;
    --build) build="$2"; shift 2 ;;
    --install-khal) install_khal=1; shift ;;
    --) shift; command=("$@"); break ;;
    -h|--help) sed -n '2,/^set -euo/p' "$0" | sed '$d; s/^# \{0,1\}//'; exit 0 ;;
    *) echo "compare-khal: unknown option $1 (try --help)" >&2; exit 2 ;;
  esac
done
[ -n "$series" ] || series=$((items / 10))
[ ${#command[@]} -gt 0 ] || command=("$build/bin/dayglass" list --days "{days}" --max 0 --calendars "{calendars}")

if ! command -v khal >/dev/null; then
  if [ "$install_khal" -eq 0 ]; then
    echo "compare-khal: khal is not installed; run again with --install-khal, or: sudo apt-get install khal" >&2
    exit 2
  fi
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get install -y -qq --no-install-recommends khal >/dev/null
fi

work="$(mktemp -d "${TMPDIR:-/tmp}/compare-khal-XXXXXX")"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/vdir"

echo "compare-khal: writing $items items ($series repeating) into $calendars calendars"
mapfile -t folders < <("$build/bin/make-vdir" "$work/vdir" --items "$items" --series "$series" --calendars "$calendars")

{
  echo "[calendars]"
  for folder in "${folders[@]}"; do
    printf '[[%s]]\npath = %s\ntype = calendar\n' "$(basename "$folder")" "$folder"
  done
  printf '[locale]\ntimeformat = %%H:%%M\ndateformat = %%Y-%%m-%%d\nlongdateformat = %%Y-%%m-%%d\n'
  printf 'datetimeformat = %%Y-%%m-%%d %%H:%%M\nlongdatetimeformat = %%Y-%%m-%%d %%H:%%M\n'
  printf '[sqlite]\npath = %s\n' "$work/khal.db"
} > "$work/khal.conf"

# Fills the placeholders of the agenda command: {calendars} stands for every folder.
dayglass=()
for word in "${command[@]}"; do
  if [ "$word" = "{calendars}" ]; then
    dayglass+=("${folders[@]}")
  else
    dayglass+=("${word//\{days\}/$days}")
  fi
done
khal=(khal -c "$work/khal.conf" list today "${days}d")

now() { date +%s.%N; }

# Runs a program once untimed-and-reported, then `runs` times; prints "first mean lines".
measure() {
  local start end first total=0 lines
  start=$(now); lines=$("$@" 2>/dev/null | wc -l); end=$(now)
  first=$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.4f", b - a }')
  for _ in $(seq "$runs"); do
    start=$(now); "$@" >/dev/null 2>&1; end=$(now)
    total=$(awk -v t="$total" -v a="$start" -v b="$end" 'BEGIN { printf "%.6f", t + b - a }')
  done
  echo "$first $(awk -v t="$total" -v n="$runs" 'BEGIN { printf "%.4f", t / n }') $lines"
}

read -r dg_first dg_mean dg_lines < <(measure "${dayglass[@]}")
read -r kh_first kh_mean kh_lines < <(measure "${khal[@]}")

printf '%-10s %12s %12s %8s\n' "" "first run s" "mean s" "lines"
printf '%-10s %12s %12s %8s\n' dayglass "$dg_first" "$dg_mean" "$dg_lines"
printf '%-10s %12s %12s %8s\n' khal "$kh_first" "$kh_mean" "$kh_lines"
awk -v d="$dg_mean" -v k="$kh_mean" 'BEGIN { if (d > 0) printf "ratio: dayglass list is %.1f times as fast as khal list\n", k / d }'
