#!/bin/bash
# Times our label run beside gLabels' batch printer on the same work, in one
# hyperfine run per N: an A4 sheet of 3 x 8 labels of 70 x 37 mm, each a box,
# a 12 pt name and a Code 128 with its text, the name and code changing on
# every label, N labels to one PDF. Whole processes, start-up included.
#
# Usage:  compare-labels.sh PEER_KIT [WORKDIR]
#   PEER_KIT  the folder with the peer's labels-3x8.glabels and make-data.sh
#   env:      OURS=path/to/tabrel_print_labels (default: ../build/bench/...)
#             NS="1 1000 5000"  RUNS=5  WARMUP=1  PEER_RUNS_5000=3
# Needs:      glabels, hyperfine, jq, poppler-utils, zbar-tools, GNU time.
# Prints a table: median seconds, per label ((t(1000) - t(1)) / 1000), peak
# RSS, PDF bytes, and whether the first and last page's barcodes decode.
# Beside it, ours alone on the shelf label (the box and name, a price and an
# EAN-13 instead of the Code 128), the same figures for the same N.
set -euo pipefail

KIT=$(cd "${1:?usage: compare-labels.sh PEER_KIT [WORKDIR]}" && pwd)
WORK=${2:-$(mktemp -d /tmp/compare-labels.XXXXXX)}
HERE=$(cd "$(dirname "$0")" && pwd)
OURS=${OURS:-$HERE/../build/bench/tabrel_print_labels}
NS=${NS:-"1 1000 5000"}
RUNS=${RUNS:-5}
WARMUP=${WARMUP:-1}
PEER_RUNS_5000=${PEER_RUNS_5000:-3}
DOC=$KIT/labels-3x8.glabels
mkdir -p "$WORK"
export QT_QPA_PLATFORM=offscreen

echo "# $(date -u '+%Y-%m-%d %H:%M') UTC; $(nproc) CPUs, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')"
echo "# ours: $OURS"
echo "# peer: $(dpkg-query -W -f '${Package} ${Version}' glabels)"

# The codes on a page of a PDF, sorted, one line.
codes() { # pdf page
    pdftoppm -r 300 -png -f "$2" -l "$2" -singlefile "$1" "$1-p$2" &&
        zbarimg -q --raw "$1-p$2.png" 2>/dev/null | sort | tr '\n' ' '
}
expected() { # first last
    for ((i = $1; i <= $2; ++i)); do printf 'TAB%07d ' "$i"; done
}
# The shelf label's EAN-13s, check digit included, as zbarimg reads them.
expectedEan() { # first last
    local i d k sum code
    for ((i = $1; i <= $2; ++i)); do
        code=$(printf '400%09d' "$i")
        sum=0
        for ((k = 0; k < 12; ++k)); do
            d=${code:k:1}
            ((sum += k % 2 ? 3 * d : d))
        done
        printf '%s%d\n' "$code" $(((10 - sum % 10) % 10))
    done | sort | tr '\n' ' '
}
peak() { # command...: peak RSS in MiB
    /usr/bin/time -f '%M' -o "$WORK/time.txt" "$@" >/dev/null 2>&1
    awk '{printf "%.1f", $1 / 1024}' "$WORK/time.txt"
}

printf '| N | ours median s | peer median s | ours peak MiB | peer peak MiB | ours PDF bytes | peer PDF bytes | decoded (ours/peer) |\n'
printf '|---:|---:|---:|---:|---:|---:|---:|:---|\n'
declare -A MEDIAN
for n in $NS; do
    dir=$WORK/n$n
    mkdir -p "$dir"
    "$KIT/make-data.sh" "$n" "$dir/data.csv"
    peerRuns=$RUNS
    [ "$n" -ge 5000 ] && peerRuns=$PEER_RUNS_5000
    (cd "$dir" && hyperfine --warmup "$WARMUP" --runs "$peerRuns" --style none \
        --export-json hyperfine-peer.json \
        "glabels-3-batch -o peer.pdf $DOC" >/dev/null 2>&1)
    (cd "$dir" && hyperfine --warmup "$WARMUP" --runs "$RUNS" --style none \
        --export-json hyperfine-ours.json "$OURS $n ours.pdf" >/dev/null 2>&1)
    oursMedian=$(jq '.results[0].median' "$dir/hyperfine-ours.json")
    peerMedian=$(jq '.results[0].median' "$dir/hyperfine-peer.json")
    MEDIAN[ours$n]=$oursMedian
    MEDIAN[peer$n]=$peerMedian
    oursPeak=$(cd "$dir" && peak "$OURS" "$n" ours.pdf)
    peerPeak=$(cd "$dir" && peak glabels-3-batch -o peer.pdf "$DOC")
    pages=$(((n + 23) / 24))
    lastFirst=$(((pages - 1) * 24 + 1))
    want="$(expected 1 $((n < 24 ? n : 24)))|$(expected "$lastFirst" "$n")"
    ok() { [ "$(codes "$1" 1)|$(codes "$1" "$pages")" = "$want" ] && echo yes || echo NO; }
    printf '| %s | %.3f | %.3f | %s | %s | %s | %s | %s/%s |\n' "$n" "$oursMedian" "$peerMedian" \
        "$oursPeak" "$peerPeak" "$(stat -c %s "$dir/ours.pdf")" "$(stat -c %s "$dir/peer.pdf")" \
        "$(ok "$dir/ours.pdf")" "$(ok "$dir/peer.pdf")"
done
# The peer's start-up (over a second, varying by tenths) can swamp its
# per-label work in the medians; the fastest runs show the work itself.
fastest() { jq '[.results[0].times[]] | min' "$WORK/n$1/hyperfine-$2.json"; }
if [ -f "$WORK/n1/hyperfine-ours.json" ] && [ -f "$WORK/n1000/hyperfine-ours.json" ]; then
    awk -v o1="$(fastest 1 ours)" -v o2="$(fastest 1000 ours)" -v p1="$(fastest 1 peer)" \
        -v p2="$(fastest 1000 peer)" 'BEGIN {
        o = o2 - o1; p = p2 - p1
        printf "per label from the fastest runs: ours %.3f ms, peer %.3f ms, peer / ours %.1f\n", o, p, p / o }'
fi
if [ -n "${MEDIAN[ours1]:-}" ] && [ -n "${MEDIAN[ours1000]:-}" ]; then
    awk -v o1="${MEDIAN[ours1]}" -v o2="${MEDIAN[ours1000]}" -v p1="${MEDIAN[peer1]}" \
        -v p2="${MEDIAN[peer1000]}" 'BEGIN {
        o = (o2 - o1) / 1000 * 1000; p = (p2 - p1) / 1000 * 1000
        printf "\nper label (t(1000) - t(1)) / 1000: ours %.3f ms, peer %.3f ms, peer / ours %.1f\n", o, p, p / o }'
fi

echo
echo "Ours alone, the shelf label (box, name, price, EAN-13):"
printf '| N | median s | peak MiB | PDF bytes | decoded |\n'
printf '|---:|---:|---:|---:|:---|\n'
for n in $NS; do
    dir=$WORK/n$n
    mkdir -p "$dir"
    (cd "$dir" && hyperfine --warmup "$WARMUP" --runs "$RUNS" --style none \
        --export-json hyperfine-shelf.json "$OURS $n shelf.pdf shelf" >/dev/null 2>&1)
    shelfMedian=$(jq '.results[0].median' "$dir/hyperfine-shelf.json")
    MEDIAN[shelf$n]=$shelfMedian
    shelfPeak=$(cd "$dir" && peak "$OURS" "$n" shelf.pdf shelf)
    pages=$(((n + 23) / 24))
    lastFirst=$(((pages - 1) * 24 + 1))
    want="$(expectedEan 1 $((n < 24 ? n : 24)))|$(expectedEan "$lastFirst" "$n")"
    got="$(codes "$dir/shelf.pdf" 1)|$(codes "$dir/shelf.pdf" "$pages")"
    printf '| %s | %.3f | %s | %s | %s |\n' "$n" "$shelfMedian" "$shelfPeak" \
        "$(stat -c %s "$dir/shelf.pdf")" "$([ "$got" = "$want" ] && echo yes || echo NO)"
done
if [ -n "${MEDIAN[shelf1]:-}" ] && [ -n "${MEDIAN[shelf1000]:-}" ]; then
    awk -v s1="${MEDIAN[shelf1]}" -v s2="${MEDIAN[shelf1000]}" 'BEGIN {
        printf "\nshelf label per label (t(1000) - t(1)) / 1000: ours %.3f ms\n", (s2 - s1) }'
fi
