#!/usr/bin/env bash
# Times `dayglass list` against `khal list` on the same generated calendars, at
# several store sizes, and prints side by side: the warm runs (each a fresh
# process, the index already built), the first runs (no index yet) beside a
# plain libical parse-and-expand of every file (the floor of any program that
# reads every file), the peak memory of both programs, and the next `list`
# after one file of a store changed.
#
#   bench/compare-khal.sh [options] [-- COMMAND...]
#
# Options:
#   --sizes LIST    store sizes in items, comma-separated (default 1000,10000,100000)
#   --series-every K  one item in K repeats (default 20)
#   --calendars C   calendar folders (default 4)
#   --days D        days listed (default 7)
#   --runs R        warm runs of each program per size, and changed-file runs (default 5)
#   --first-runs F  first runs of each program per size, each on a new cache (default 1)
#   --khal-first-max N  skip khal's first runs above N items (shown as -); khal
#                   builds its database for about a quarter of an hour at 100,000
#   --change-size N the size whose store gets one changed file before a run (default 10000,
#                   else the first size)
#   --build DIR     build folder holding bin/make-vdir, bin/run-stats, bin/parse-expand
#                   and bin/dayglass (default build/default)
#   --install-khal  install Debian's khal with apt-get if it is missing
#
# COMMAND lists the agenda; in it "{calendars}" becomes the calendar folders,
# "{days}" the day count and "{root}" an empty device root (one with no calendars
# of its own, which runs the build's installed extension). The default is
#   DIR/bin/dayglass list --root {root} --days {days} --max 0 --calendars {calendars}
# so that both programs list the same items and nothing else.
#
# Both programs run in Europe/Berlin, the zone of the generated items, with their
# caches in a temporary folder (XDG_CACHE_HOME for dayglass, a database path for
# khal). Each time is a pair: wall-clock seconds, then processor seconds (user
# and system, all threads), each the median of the runs; on a busy machine the
# processor time is the steadier figure. Memory is the largest maximum resident
# set of any run of the program at that size. The calendars surround today, so
# both programs list a full window.
set -euo pipefail

sizes="1000,10000,100000"
series_every=20
calendars=4
days=7
runs=5
first_runs=1
khal_first_max=""
change_size=""
build="build/default"
install_khal=0
command=()

while [ $# -gt 0 ]; do
  case "$1" in
    --sizes) sizes="$2"; shift 2 ;;
    --series-every) series_every="$2"; shift 2 ;;
    --calendars) calendars="$2"; shift 2 ;;
    --days) days="$2"; shift 2 ;;
    --runs) runs="$2"; shift 2 ;;
    --first-runs) first_runs="$2"; shift 2 ;;
    --khal-first-max) khal_first_max="$2"; shift 2 ;;
    --change-size) change_size="$2"; shift 2 ;;
    --build) build="$2"; shift 2 ;;
    --install-khal) install_khal=1; shift ;;
    --) shift; command=("$@"); break ;;
    -h|--help) sed -n '2,/^set -euo/p' "$0" | sed '$d; s/^# \{0,1\}//'; exit 0 ;;
    *) echo "compare-khal: unknown option $1 (try --help)" >&2; exit 2 ;;
  esac
done
IFS=, read -r -a size_list <<< "$sizes"
if [ -z "$change_size" ]; then
  change_size="${size_list[0]}"
  for size in "${size_list[@]}"; do [ "$size" = 10000 ] && change_size=10000; done
fi
[ ${#command[@]} -gt 0 ] \
  || command=("$build/bin/dayglass" list --root "{root}" --days "{days}" --max 0 --calendars "{calendars}")
for tool in make-vdir run-stats parse-expand; do
  if [ ! -x "$build/bin/$tool" ]; then
    echo "compare-khal: $build/bin/$tool is missing; build it: cmake --build --preset default --target $tool" >&2
    exit 2
  fi
done

if ! command -v khal >/dev/null; then
  if [ "$install_khal" -eq 0 ]; then
    echo "compare-khal: khal is not installed; run again with --install-khal, or: sudo apt-get install khal" >&2
    exit 2
  fi
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends khal >/dev/null
fi

export TZ=Europe/Berlin
work="$(mktemp -d "${TMPDIR:-/tmp}/compare-khal-XXXXXX")"
trap 'rm -rf "$work"' EXIT

# Writes the khal configuration of one store: every calendar folder, plain
# formats, the database at the given path.
write_khal_conf() {
  local conf="$1" database="$2" folder
  shift 2
  {
    echo "[calendars]"
    for folder in "$@"; do
      printf '[[%s]]\npath = %s\ntype = calendar\n' "$(basename "$folder")" "$folder"
    done
    printf '[locale]\ntimeformat = %%H:%%M\ndateformat = %%Y-%%m-%%d\nlongdateformat = %%Y-%%m-%%d\n'
    printf 'datetimeformat = %%Y-%%m-%%d %%H:%%M\nlongdatetimeformat = %%Y-%%m-%%d %%H:%%M\n'
    printf '[sqlite]\npath = %s\n' "$database"
  } > "$conf"
}

# An empty device root whose calendar application hides no calendar.
write_device_root() {
  local preferences="$1/private/var/mobile/Library/Preferences"
  mkdir -p "$preferences"
  printf '<?xml version="1.0" encoding="UTF-8"?>\n<plist version="1.0"><dict/></plist>\n' \
    > "$preferences/com.apple.mobilecal.plist"
}

# One run of a command with its cache folder: appends "wall cpu maxrss lines" to a file.
run_into() {
  local file="$1" cache="$2"
  shift 2
  XDG_CACHE_HOME="$cache" "$build/bin/run-stats" "$@" >> "$file" || {
    echo "compare-khal: $* failed" >&2
    exit 1
  }
}

# Column of a stats file: the median (of wall or cpu seconds), or the largest.
# A file that holds no run gives "-".
median() {
  [ -s "$1" ] || { printf -- "-"; return; }
  cut -d' ' -f"$2" "$1" | sort -g \
    | awk '{ v[NR] = $1 } END { printf "%.4f", NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
largest() { cut -d' ' -f"$2" "$1" | sort -g | tail -1; }
# "wall cpu": both medians of a stats file.
both() { echo "$(median "$1" 1) $(median "$1" 2)"; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (a != "-" && b > 0) printf "%.1f", a / b; else printf "-" }'; }
# "wall cpu" ratios of two "wall cpu" pairs.
ratios() {
  local a=($1) b=($2)
  echo "$(ratio "${a[0]}" "${b[0]}") $(ratio "${a[1]}" "${b[1]}")"
}
# A pair in words: "0.5 (cpu 0.2)".
worded() {
  local pair=($1)
  echo "${pair[0]} (cpu ${pair[1]})"
}
mib() { awk -v k="$1" 'BEGIN { printf "%.1f", k / 1024 }'; }

# Changes one item's title the way vdirsyncer writes: a new file renamed over the old one.
change_item() {
  local file="$1" round="$2"
  sed "s/^SUMMARY:.*/SUMMARY:Changed $round/" "$file" > "$file.new"
  mv "$file.new" "$file"
}

warm_rows=() first_rows=() memory_rows=() change_row="" aims=()

for size in "${size_list[@]}"; do
  dir="$work/$size"
  mkdir -p "$dir/vdir"
  write_device_root "$dir/device"
  echo "compare-khal: $size items ($((size / series_every)) repeating) in $calendars calendars" >&2
  mapfile -t folders < <("$build/bin/make-vdir" "$dir/vdir" --items "$size" --series "$((size / series_every))" \
    --calendars "$calendars")
  write_khal_conf "$dir/khal.conf" "$dir/khal.db" "${folders[@]}"
  dayglass=()
  for word in "${command[@]}"; do
    case "$word" in
      "{calendars}") dayglass+=("${folders[@]}") ;;
      "{root}") dayglass+=("$dir/device") ;;
      *) dayglass+=("${word//\{days\}/$days}") ;;
    esac
  done
  khal=(khal -c "$dir/khal.conf" list today "${days}d")

  for _ in $(seq "$first_runs"); do
    rm -rf "$dir/cache" "$dir/khal.db"
    run_into "$dir/dayglass-first" "$dir/cache" "${dayglass[@]}"
    if [ -z "$khal_first_max" ] || [ "$size" -le "$khal_first_max" ]; then
      run_into "$dir/khal-first" "$dir/cache" "${khal[@]}"
    fi
  done
  # khal builds its database on the first warm run when its first runs were skipped.
  [ -e "$dir/khal-first" ] || "${khal[@]}" >/dev/null 2>&1
  for _ in $(seq "$runs"); do
    run_into "$dir/dayglass-warm" "$dir/cache" "${dayglass[@]}"
    run_into "$dir/khal-warm" "$dir/cache" "${khal[@]}"
    run_into "$dir/floor" "$dir/cache" "$build/bin/parse-expand" --days "$days" "${folders[@]}"
  done
  if [ "$size" = "$change_size" ]; then
    mapfile -t changed < <(find "${folders[@]}" -name '*.ics' | sort | head -n "$runs")
    for round in $(seq "$runs"); do
      change_item "${changed[$((round - 1))]}" "$round"
      run_into "$dir/dayglass-changed" "$dir/cache" "${dayglass[@]}"
    done
  fi

  dg_warm=$(both "$dir/dayglass-warm") kh_warm=$(both "$dir/khal-warm") floor=$(both "$dir/floor")
  dg_first=$(both "$dir/dayglass-first") kh_first=$(both "$dir/khal-first")
  dg_rss=$(cat "$dir"/dayglass-* | cut -d' ' -f3 | sort -g | tail -1)
  kh_rss=$(cat "$dir"/khal-* | cut -d' ' -f3 | sort -g | tail -1)
  warm_rows+=("$(printf '%8s %18s %18s %14s %8s %8s' "$size" "$dg_warm" "$kh_warm" "$(ratios "$kh_warm" "$dg_warm")" \
    "$(largest "$dir/dayglass-warm" 4)" "$(largest "$dir/khal-warm" 4)")")
  first_rows+=("$(printf '%8s %18s %18s %14s %18s %14s' "$size" "$dg_first" "$kh_first" \
    "$(ratios "$kh_first" "$dg_first")" "$floor" "$(ratios "$dg_first" "$floor")")")
  memory_rows+=("$(printf '%8s %10s %10s %14s' "$size" "$(mib "$dg_rss")" "$(mib "$kh_rss")" "$(ratio "$dg_rss" "$kh_rss")")")
  if [ "$size" = "$change_size" ]; then
    dg_changed=$(both "$dir/dayglass-changed")
    change_row="$(printf '%8s %18s %18s %14s' "$size" "$dg_warm" "$dg_changed" "$(ratios "$dg_changed" "$dg_warm")")"
    aims+=("one changed file at $size: the next list $(worded "$(ratios "$dg_changed" "$dg_warm")") times a warm one (aim: at most 1.5)")
  fi
  if [ "$size" = 10000 ]; then
    aims+=("warm at 10000: $(worded "$(ratios "$kh_warm" "$dg_warm")") times as fast as khal (aim: at least 15)")
    aims+=("first run at 10000: $(worded "$(ratios "$kh_first" "$dg_first")") times as fast as khal's (aim: at least 25)")
  fi
  [ "$size" = 100000 ] && aims+=("warm at 100000: $(worded "$dg_warm") s (aim: under 0.2 s)")
  aims+=("first run at $size: $(worded "$(ratios "$dg_first" "$floor")") times the floor (aim: at most 1.5)")
  aims+=("peak memory at $size: $(ratio "$dg_rss" "$kh_rss") times khal's (aim: under 2)")
done

echo "compare-khal: $(date -u +%Y-%m-%d), $(nproc) cores, $days-day window, $calendars calendars," \
  "1 in $series_every items repeating, Europe/Berlin; medians of $runs warm and $first_runs first runs"
echo
echo "Warm: a fresh process, the index built (seconds, wall cpu)"
printf '%8s %18s %18s %14s %8s %8s\n' items dayglass khal khal/dayglass "dg lines" "kh lines"
printf '%s\n' "${warm_rows[@]}"
echo
echo "First run: no index yet (seconds, wall cpu); floor: libical parsing and expanding every file"
printf '%8s %18s %18s %14s %18s %14s\n' items dayglass khal khal/dayglass floor dayglass/floor
printf '%s\n' "${first_rows[@]}"
echo
echo "Peak memory: largest maximum resident set of any run (MiB)"
printf '%8s %10s %10s %14s\n' items dayglass khal dayglass/khal
printf '%s\n' "${memory_rows[@]}"
if [ -n "$change_row" ]; then
  echo
  echo "One changed file (a new file renamed over an item's), then the next list (seconds, wall cpu)"
  printf '%8s %18s %18s %14s\n' items warm "after change" changed/warm
  printf '%s\n' "$change_row"
fi
echo
echo "Aims"
printf '  %s\n' "${aims[@]}"
