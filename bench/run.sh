#!/usr/bin/env bash
# Times brelk-install against the standard tools doing the same job, on a
# typical and a large package of random bytes (fixed seed), each run on a
# fresh copy; repeats the large package on XFS, where copies can share
# blocks; records peak memory; prints one table and writes it to
# docs/performance.md.
#
#   bench/run.sh            (as root for the XFS part; BENCH_DIR sets the work folder)
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
. "$here/scripts/deps.sh"
brelk_need cmake ninja-build g++ hyperfine rsync time xfsprogs python3

work="${BENCH_DIR:-$here/build/bench}"
mkdir -p "$work"
work="$(cd "$work" && pwd)"
results="$work/results"
rm -rf "$results"
mkdir -p "$results"

# The program as shipped, and a copy without the stable-storage flushes,
# built only to show what durability costs.
cd "$here"
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DBRELK_TESTS=OFF >/dev/null
cmake --build build/release --target brelk-install >/dev/null
cmake -S . -B build/noflush -G Ninja -DCMAKE_BUILD_TYPE=Release -DBRELK_TESTS=OFF -DBRELK_NO_FLUSH=ON >/dev/null
cmake --build build/noflush --target brelk-install >/dev/null
brelk="$here/build/release/brelk-install"
noflush="$here/build/noflush/brelk-install"

make_package() {  # DIR HEADERS LIBS
    rm -rf "$1"
    mkdir -p "$1"
    python3 - "$1" "$2" "$3" <<'EOF'
import os, random, sys
root, headers, libs = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
r = random.Random(20261211)
def put(name, size):
    with open(os.path.join(root, name), "wb") as f:
        f.write(r.randbytes(size))
for i in range(headers):
    put("h%05d.h" % i, r.randint(6 * 1024, 10 * 1024))
for i in range(libs):
    put("l%04d.lib" % i, r.randint(300 * 1024, 500 * 1024))
put("mandelf.h", 4096)
for name in ("README.TXT", "brelkcc.exe", "notes.txt", "setup.cfg"):
    put(name, r.randint(1024, 64 * 1024))
EOF
}

# The same job by each tool, in a directory W holding a fresh copy.
job_mv='cd W && mkdir -p INCLUDE LIB && mv -- !(mandelf).h INCLUDE/ && mv -- *.lib LIB/'
job_cp='cd W && mkdir -p INCLUDE LIB && cp -p -- !(mandelf).h INCLUDE/ && cp -p -- *.lib LIB/ && rm -f -- !(mandelf).h *.lib'
job_cp_sync='cd W && mkdir -p INCLUDE LIB && cp -p -- !(mandelf).h INCLUDE/ && cp -p -- *.lib LIB/ && sync && rm -f -- !(mandelf).h *.lib'
job_rsync='cd W && mkdir -p INCLUDE LIB && rsync -a --fsync --remove-source-files -- !(mandelf).h INCLUDE/ && rsync -a --fsync --remove-source-files -- *.lib LIB/'
job_reflink='cd W && mkdir -p INCLUDE LIB && cp -p --reflink=always -- !(mandelf).h INCLUDE/ && cp -p --reflink=always -- *.lib LIB/ && sync && rm -f -- !(mandelf).h *.lib'

bench() {  # NAME PACKAGE-DIR FS-DIR RUNS [extra jobs...]
    local name="$1" package="$2" dir="$3" runs="$4"
    shift 4
    local w="$dir/W"
    local sub="s#W#$w#g"
    local cmds=(
        -n brelk-install "cd '$w' && '$brelk' >/dev/null"
        -n "brelk-install, no flush" "cd '$w' && '$noflush' >/dev/null"
        -n "mv" "bash -O extglob -c '$(sed "$sub" <<<"$job_mv")'"
        -n "cp -p, rm" "bash -O extglob -c '$(sed "$sub" <<<"$job_cp")'"
        -n "cp -p, sync, rm" "bash -O extglob -c '$(sed "$sub" <<<"$job_cp_sync")'"
        -n "rsync --fsync" "bash -O extglob -c '$(sed "$sub" <<<"$job_rsync")'"
    )
    if [ "${1:-}" = reflink ]; then
        cmds+=(-n "cp -p --reflink=always, sync, rm" "bash -O extglob -c '$(sed "$sub" <<<"$job_reflink")'")
    fi
    echo "== $name"
    hyperfine --style basic --runs "$runs" --warmup 1 \
        --prepare "rm -rf '$w' && cp -a '$package' '$w' && sync" \
        --export-json "$results/$name.json" "${cmds[@]}"
    rm -rf "$w"
}

peak_memory() {  # NAME PACKAGE-DIR FS-DIR
    local w="$3/W"
    rm -rf "$w" && cp -a "$2" "$w" && sync
    (cd "$w" && /usr/bin/time -v "$brelk" >/dev/null 2>"$results/$1.time") || true
    grep "Maximum resident set size" "$results/$1.time" | awk '{print $NF}' >"$results/$1.rss"
    rm -rf "$w"
}

make_package "$work/typical" 300 40
make_package "$work/large" 10000 500
make_package "$work/sample" 0 0
cp -a "$here/examples/package/." "$work/sample/"
# Let the packages' own writes reach the disk before anything is timed.
sync

bench typical "$work/typical" "$work" 10
bench large "$work/large" "$work" 5
bench sample "$work/sample" "$work" 20
peak_memory typical "$work/typical" "$work"
peak_memory large "$work/large" "$work"

xfs_note="not measured"
if [ "$(id -u)" -eq 0 ] && mkdir -p "$work/xfs" && rm -f "$work/xfs.img" &&
    truncate -s 3G "$work/xfs.img" && mkfs.xfs -q -m reflink=1 "$work/xfs.img" &&
    mount -o loop "$work/xfs.img" "$work/xfs" 2>"$results/xfs-mount.log"; then
    cp -a "$work/large" "$work/xfs/large"
    bench large-xfs "$work/xfs/large" "$work/xfs" 5 reflink
    umount "$work/xfs"
    xfs_note="measured"
else
    echo "== XFS skipped: mounting a loop device needs root and loop support ($(cat "$results/xfs-mount.log" 2>/dev/null))"
fi
rm -f "$work/xfs.img"

python3 - "$results" "$here/docs/performance.md" "$xfs_note" <<'EOF'
import datetime, json, os, platform, statistics, subprocess, sys
results, out, xfs_note = sys.argv[1], sys.argv[2], sys.argv[3]

def cpu():
    for line in open("/proc/cpuinfo"):
        if line.startswith("model name"):
            return line.split(":", 1)[1].strip()
    return platform.processor()

fs = subprocess.run(["df", "-T", results], capture_output=True, text=True).stdout.split("\n")[1].split()[1]
lines = ["# Performance", "",
         "Measured by `bench/run.sh` on %s: %d cores (%s), %s GiB of memory, work folder on %s. "
         "Median wall time of each command over fresh copies of the package (hyperfine), and its ratio "
         "to brelk-install's." % (datetime.date.today().isoformat(), os.cpu_count(), cpu(),
                                 round(os.sysconf("SC_PAGE_SIZE") * os.sysconf("SC_PHYS_PAGES") / 2**30), fs), ""]
sizes = {"sample": "the bundled sample package", "typical": "300 headers of about 8 KB, 40 libraries of about 400 KB",
         "large": "10,000 headers, 500 libraries", "large-xfs": "the large package on XFS (reflink)"}
for name in ("sample", "typical", "large", "large-xfs"):
    path = os.path.join(results, name + ".json")
    if not os.path.exists(path):
        continue
    runs = json.load(open(path))["results"]
    base = statistics.median(runs[0]["times"])
    lines += ["## %s: %s" % (name, sizes[name]), "", "| command | median (s) | ratio to brelk-install |",
              "|---|---:|---:|"]
    for r in runs:
        m = statistics.median(r["times"])
        lines.append("| %s | %.3f | %.2f |" % (r["command"], m, m / base))
    lines.append("")
rss = {}
for name in ("typical", "large"):
    p = os.path.join(results, name + ".rss")
    if os.path.exists(p) and open(p).read().strip():
        rss[name] = int(open(p).read())
if rss:
    lines += ["## Peak memory of brelk-install", "", "| package | maximum resident set (KiB) |", "|---|---:|"]
    lines += ["| %s | %d |" % (k, v) for k, v in rss.items()]
    lines.append("")
if xfs_note != "measured":
    lines += ["XFS: not measured on this machine (mounting a loop device needs root).", ""]
text = "\n".join(lines)
open(out, "w").write(text)
print(text)
EOF
