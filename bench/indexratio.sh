#!/bin/bash
# Whole-process lookups through the index beside the database, against the
# same lookups reading the whole file (the index moved aside) and against
# SQLite 3 with its best index on the same records: an index on
# (netid, area, cellid) and one on cellid for the key lookups, an R*Tree on
# the positions for the nearest cells (a box around the centre as wide as
# the window where turmcli stops, ordered by the same distance, LIMIT 20).
# Every command runs 11 times after a warm-up run; the median wall time is
# printed.  The same lookups on a 200,000-cell database show whether the
# cost stays flat.
#
#   bench/indexratio.sh [BUILD_DIR]        (default: build)
#
# The databases are made with `turmcli demo` (which writes the index) in a
# scratch folder under /tmp and reused by later runs.  The SQLite side needs
# the sqlite3 command-line tool (Debian: apt-get install sqlite3) and perl
# for the hexadecimal columns of the CSV export; without them it is skipped
# with a message.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build}
turmcli=$(cd "$build" && pwd)/cli/turmcli
[ -x "$turmcli" ] || { echo "no turmcli in $build/cli" >&2; exit 2; }
cc=${CC:-cc}

work=${TMPDIR:-/tmp}/turmfinder-index
mkdir -p "$work/big" "$work/small"
make_db() {  # folder count
  if [ "$(stat -c %s "$1/germtowers.dat" 2>/dev/null || echo 0)" != $(($2 * 44)) ] || [ ! -f "$1/germtowers.idx" ]; then
    "$turmcli" demo --dir "$1" --count "$2" >/dev/null
  fi
}
[ -f "$work/big/germtowers.idx.aside" ] && mv "$work/big/germtowers.idx.aside" "$work/big/germtowers.idx"
make_db "$work/big" 2400000
make_db "$work/small" 200000

# The timer: median wall time of N runs of a command (output to /dev/null).
cat >"$work/timer.c" <<'EOF'
#define _GNU_SOURCE
#include <fcntl.h>
#include <spawn.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <time.h>
extern char** environ;
static double now(void) {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}
static int cmp(const void* a, const void* b) {
  double x = *(const double*)a, y = *(const double*)b;
  return (x > y) - (x < y);
}
int main(int argc, char** argv) {
  if (argc < 3) return fprintf(stderr, "timer N CMD...\n"), 2;
  int n = atoi(argv[1]);
  double ms[64];
  if (n < 1 || n > 64) n = 11;
  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  posix_spawn_file_actions_addopen(&fa, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&fa, 2, "/dev/null", O_WRONLY, 0);
  for (int i = -1; i < n; ++i) {
    double t0 = now();
    pid_t pid;
    int status;
    if (posix_spawnp(&pid, argv[2], &fa, NULL, argv + 2, environ) != 0) return perror(argv[2]), 1;
    waitpid(pid, &status, 0);
    if (i >= 0) ms[i] = now() - t0;
  }
  qsort(ms, (size_t)n, sizeof ms[0], cmp);
  printf("%.2f\n", ms[n / 2]);
  return 0;
}
EOF
"$cc" -O2 -o "$work/timer" "$work/timer.c"
t() { "$work/timer" 11 "$@"; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else printf "-" }'; }

# The keys of record 4711 (the first row of the search around it is
# itself, at distance 0), for the key lookups.
keysof() {  # folder -> "net area cell lon lat"
  "$turmcli" near --db "$1/germtowers.dat" --object 4711 --format csv --limit 1 | tail -n 1 |
    awk -F, '{ print $4, $6, $7, $8, $9 }'
}

# label|turmcli arguments (after --db)|SQL (with @NET@ @AREA@ @CELL@)
queries=(
  "select one net and area|select --net @NET@ --area \$@AREA@ --format csv|SELECT * FROM cells WHERE netid = @NET@ AND area = @AREAD@ ORDER BY datnr;"
  "select one cell (net, area, cell id)|select --net @NET@ --area \$@AREA@ --cell \$@CELL@ --format csv|SELECT * FROM cells WHERE netid = @NET@ AND area = @AREAD@ AND cellid = @CELLD@ ORDER BY datnr;"
  "select cell id alone|select --cell \$@CELL@ --format csv|SELECT * FROM cells WHERE cellid = @CELLD@ ORDER BY datnr;"
  "near position, city centre|near --position 52.52,13.405 --format csv|@BOX 13.405 52.52@"
  "near object 4711|near --object 4711 --format csv|@BOX @LON@ @LAT@@"
  "near 55.5,4.0 (all ten windows)|near --position 55.5,4.0 --format csv|@BOX 4.0 55.5@"
  "near one cell id around 54.3,7.1|near --position 54.3,7.1 --cell \$@CELL@ --format csv|SELECT * FROM cells WHERE cellid = @CELLD@ ORDER BY abs(lon - 7.1) + abs(lat - 54.3) LIMIT 20;"
)

have_sqlite=yes
if ! command -v sqlite3 >/dev/null || ! command -v perl >/dev/null; then
  have_sqlite=
  echo "sqlite3 or perl not installed: the SQLite side is skipped (Debian: apt-get install sqlite3)" >&2
fi

# The SQLite database of the same records, made once.
sqldb=$work/big/cells.sqlite
if [ -n "$have_sqlite" ] && [ ! -s "$sqldb" ]; then
  "$turmcli" select --db "$work/big/germtowers.dat" --format csv |
    perl -F, -lane 'next if $. == 1; print join ",", $F[1], $F[2], $F[3], hex($F[5]), hex($F[6]), $F[7], $F[8], $F[9]' \
      >"$work/big/cells.csv"
  rm -f "$sqldb.tmp"
  sqlite3 "$sqldb.tmp" <<EOF
CREATE TABLE cells(datnr INTEGER PRIMARY KEY, type TEXT, netid INTEGER, area INTEGER, cellid INTEGER,
                   lon REAL, lat REAL, range INTEGER);
.import --csv $work/big/cells.csv cells
CREATE INDEX cells_key ON cells(netid, area, cellid);
CREATE INDEX cells_cell ON cells(cellid);
CREATE VIRTUAL TABLE pos USING rtree(id, minlon, maxlon, minlat, maxlat);
INSERT INTO pos SELECT datnr, lon, lon, lat, lat FROM cells;
ANALYZE;
EOF
  mv "$sqldb.tmp" "$sqldb"
  rm -f "$work/big/cells.csv"
fi

# The half-width of the window where turmcli's search around lon,lat stops
# (the box SQLite searches): the largest distance on one axis among its rows.
halfwidth() {  # folder lon lat
  "$turmcli" near --db "$1/germtowers.dat" --position "$3,$2" --format csv | tail -n +2 |
    awk -F, -v x="$2" -v y="$3" 'function a(v) { return v < 0 ? -v : v }
      { d = a($8 - x); if (a($9 - y) > d) d = a($9 - y); if (d > m) m = d }
      END { w = 0.005; while (w < m) w *= 2; printf "%.6f", w }'
}

sql_of() {  # template net area cell lon lat
  local q=$1
  q=${q//@NET@/$2}
  q=${q//@AREAD@/$((16#$3))}
  q=${q//@CELLD@/$((16#$4))}
  q=${q//@LON@/$5}
  q=${q//@LAT@/$6}
  if [[ $q == @BOX* ]]; then
    read -r _ x y <<<"${q//@/ }"
    local w
    w=$(halfwidth "$work/big" "$x" "$y")
    q="SELECT c.* FROM pos p JOIN cells c ON c.datnr = p.id WHERE p.minlon >= $x - $w AND p.maxlon <= $x + $w
       AND p.minlat >= $y - $w AND p.maxlat <= $y + $w ORDER BY abs(c.lon - $x) + abs(c.lat - $y) LIMIT 20;"
  fi
  printf '%s' "$q"
}

read -r bnet barea bcell blon blat <<<"$(keysof "$work/big")"
read -r snet sarea scell _ _ <<<"$(keysof "$work/small")"

printf '%-40s %9s %9s %9s %9s %8s\n' "whole process, median of 11, ms" "0.2M idx" "2.4M idx" "2.4M scan" "SQLite" "idx/SQL"
for entry in "${queries[@]}"; do
  IFS='|' read -r label args sql <<<"$entry"
  sub() { local a=$1; a=${a//@NET@/$2}; a=${a//@AREA@/$3}; a=${a//@CELL@/$4}; printf '%s' "$a"; }
  # shellcheck disable=SC2046
  small=$(t "$turmcli" $(sub "$args" "$snet" "$sarea" "$scell") --db "$work/small/germtowers.dat")
  # shellcheck disable=SC2046
  big=$(t "$turmcli" $(sub "$args" "$bnet" "$barea" "$bcell") --db "$work/big/germtowers.dat")
  mv "$work/big/germtowers.idx" "$work/big/germtowers.idx.aside"
  trap 'mv "$work/big/germtowers.idx.aside" "$work/big/germtowers.idx"' EXIT
  # shellcheck disable=SC2046
  scan=$(t "$turmcli" $(sub "$args" "$bnet" "$barea" "$bcell") --db "$work/big/germtowers.dat")
  mv "$work/big/germtowers.idx.aside" "$work/big/germtowers.idx"
  trap - EXIT
  lite=-
  if [ -n "$have_sqlite" ]; then
    lite=$(t sqlite3 "$sqldb" "$(sql_of "$sql" "$bnet" "$barea" "$bcell" "$blon" "$blat")")
  fi
  printf '%-40s %9s %9s %9s %9s %8s\n' "$label" "$small" "$big" "$scan" "$lite" "$(ratio "$big" "$lite")"
done
empty=$work/empty.dat
: >"$empty"
printf '%-40s %9s %9s\n' "select on an empty database" "" "$(t "$turmcli" select --db "$empty")"
echo
dat=$(stat -c %s "$work/big/germtowers.dat")
idx=$(stat -c %s "$work/big/germtowers.idx")
echo "index size: $idx bytes beside $dat ($(ratio "$idx" "$dat") of the database; target <= 0.50)"
echo "turmcli index (both files of 2.4M + Berlin): $("$work/timer" 3 "$turmcli" index --dir "$work/big") ms"
