#!/bin/sh
# Whole-process speed of turmcli against the floor of reading the same file:
# a bare C program that reads the database in 1 MiB blocks and tests one key
# per record, and cat; the start of turmcli (a command on an empty
# database) against a bare C++ program that prints one line.  Every command
# runs 11 times (after one warm-up run, so the file is in the page cache);
# the median wall time is printed with its ratio to the bare block read.
#
#   bench/wholeprocess.sh [BUILD_DIR]        (default: build)
#
# The database is made with `turmcli demo --count 2400000` in a scratch
# folder under /tmp and reused by later runs.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build}
turmcli=$(cd "$build" && pwd)/cli/turmcli
[ -x "$turmcli" ] || { echo "no turmcli in $build/cli" >&2; exit 2; }
cc=${CC:-cc}
cxx=${CXX:-c++}

work=${TMPDIR:-/tmp}/turmfinder-wholeprocess
mkdir -p "$work"
db=$work/germtowers.dat
if [ "$(stat -c %s "$db" 2>/dev/null || echo 0)" != 105600000 ]; then
  "$turmcli" demo --dir "$work" --count 2400000 >/dev/null
fi
# The scan is what is measured here: without the index that demo writes
# beside the file (bench/indexratio.sh times the lookups through it).
rm -f "$work/germtowers.idx"
: >"$work/empty.dat"

# The block reader and the timer, one small C program.
cat >"$work/floor.c" <<'EOF'
#define _GNU_SOURCE
#include <fcntl.h>
#include <spawn.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

extern char** environ;

/* floor FILE: reads FILE in 1 MiB blocks, counts the records of net 9. */
static int blockread(const char* name) {
  static unsigned char block[(1 << 20) / 44 * 44];
  int fd = open(name, O_RDONLY);
  if (fd < 0) return perror(name), 1;
  long found = 0;
  ssize_t got;
  while ((got = read(fd, block, sizeof block)) > 0)
    for (ssize_t off = 0; off + 44 <= got; off += 44) {
      uint16_t net;
      memcpy(&net, block + off + 14, 2);
      found += net == 9;
    }
  close(fd);
  printf("%ld\n", found);
  return 0;
}

static double now(void) {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

static int cmp(const void* a, const void* b) {
  double x = *(const double*)a, y = *(const double*)b;
  return (x > y) - (x < y);
}

/* floor time N CMD...: median wall time of N runs of CMD in ms (output to /dev/null). */
static int timecmd(int n, char** argv) {
  double ms[64];
  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  posix_spawn_file_actions_addopen(&fa, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&fa, 2, "/dev/null", O_WRONLY, 0);
  if (n > 64) n = 64;
  for (int i = -1; i < n; ++i) {
    double t0 = now();
    pid_t pid;
    int status;
    if (posix_spawn(&pid, argv[0], &fa, NULL, argv, environ) != 0) return perror(argv[0]), 1;
    waitpid(pid, &status, 0);
    if (i >= 0) ms[i] = now() - t0;
  }
  qsort(ms, (size_t)n, sizeof ms[0], cmp);
  printf("%.2f\n", ms[n / 2]);
  return 0;
}

int main(int argc, char** argv) {
  if (argc >= 4 && strcmp(argv[1], "time") == 0) return timecmd(atoi(argv[2]), argv + 3);
  if (argc == 2) return blockread(argv[1]);
  fprintf(stderr, "floor FILE | floor time N CMD...\n");
  return 2;
}
EOF
"$cc" -O2 -o "$work/floor" "$work/floor.c"
printf '#include <iostream>\nint main() { std::cout << "Turmfinder\\n"; }\n' >"$work/bare.cc"
"$cxx" -O2 -o "$work/bare" "$work/bare.cc"

runs=11
t() { "$work/floor" time "$runs" "$@"; }
floor=$(t "$work/floor" "$db")
cat=$(t /bin/cat "$db")
selrare=$(t "$turmcli" select --db "$db" --net 9)
selcommon=$(t "$turmcli" select --db "$db" --net 2 --area 3256 --limit 20)
selall=$(t "$turmcli" select --db "$db" --limit 20)
# One cell id only: the search runs all ten windows.
cell=$("$turmcli" select --db "$db" --format csv --limit 1 --net 2 | tail -n 1 | cut -d, -f7)
nearten=$(t "$turmcli" near --db "$db" --position "54.3,7.1" --cell "\$$cell")
# No key at all, in the North Sea: every record's coordinates are looked at.
nearsparse=$(t "$turmcli" near --db "$db" --position "55.5,4.0")
neardense=$(t "$turmcli" near --db "$db" --position "52.52,13.405")
empty=$(t "$turmcli" select --db "$work/empty.dat")
bare=$(t "$work/bare")

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
printf '%-44s %9s %8s\n' "whole process, median of $runs" ms "x floor"
row() { printf '%-44s %9s %8s\n' "$1" "$2" "$(ratio "$2" "$floor")"; }
row "C 1 MiB block read, one key a record" "$floor"
row "cat" "$cat"
row "select --net 9 (nothing matches)" "$selrare"
row "select --net 2 --area 3256 --limit 20" "$selcommon"
row "select --limit 20 (everything)" "$selall"
row "near, one cell id (all ten windows)" "$nearten"
row "near 55.5,4.0, no key (all ten windows)" "$nearsparse"
row "near Berlin centre (dense)" "$neardense"
row "select on an empty database" "$empty"
row "bare C++ program, one line" "$bare"
echo
echo "select / floor:            $(ratio "$selrare" "$floor")  (target <= 1.5)"
echo "near ten windows / select: $(ratio "$nearten" "$selrare")  (target <= 1.2)"
echo "near no key / select:      $(ratio "$nearsparse" "$selrare")  (target <= 1.2)"
echo "empty database:            $empty ms, bare C++ $bare ms  (target <= 2)"
