# Helpers of bench/engines.sh: timing with peak memory, result table, peer-tool set-up.
# shellcheck shell=bash

# measure NAME CMD...: runs CMD, records wall seconds and peak RSS (KiB) in the results.
declare -A T_SEC T_KIB T_CPU
RESULT_ORDER=()
measure() {
    local name=$1
    shift
    local out
    out=$(mktemp)
    if /usr/bin/time -f '%e %M %U %S' -o "$out" "$@" >/dev/null 2>"$out.err"; then
        local u s
        read -r "T_SEC[$name]" "T_KIB[$name]" u s <"$out"
        T_CPU[$name]=$(awk -v u="$u" -v s="$s" 'BEGIN { printf "%.2f", u + s }')
    else
        echo "  ($name failed: $(tail -n 2 "$out.err" | tr '\n' ' '))" >&2
        T_SEC[$name]=nan
        T_KIB[$name]=0
        T_CPU[$name]=nan
    fi
    rm -f "$out" "$out.err"
    RESULT_ORDER+=("$name")
}

# ratio A B: A / B with two decimals, "-" when either is missing.
ratio() {
    local a=${T_SEC[$1]:-nan} b=${T_SEC[$2]:-nan}
    if [[ $a == nan || $b == nan ]]; then
        echo "-"
    else
        awk -v a="$a" -v b="$b" 'BEGIN { if (b <= 0) print "-"; else printf "%.2f", a / b }'
    fi
}

# row NAME BASELINE: one line of the table.
row() {
    printf '  %-44s %8s s  %9s x  %7s s  %9s MiB\n' "$1" "${T_SEC[$1]:-nan}" "$(ratio "$1" "$2")" "${T_CPU[$1]:-nan}" \
        "$(awk -v k="${T_KIB[$1]:-0}" 'BEGIN { printf "%.1f", k / 1024 }')"
}

have() { command -v "$1" >/dev/null 2>&1; }

# Installs a peer tool with apt-get when it is missing and we may (root or sudo without password).
ensure_tool() {
    local tool=$1 pkg=$2
    have "$tool" && return 0
    local sudo=""
    [[ $(id -u) -eq 0 ]] || sudo="sudo -n"
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "$pkg" >/dev/null 2>&1 || true
    have "$tool"
}

drop_file() { rm -f -- "$@"; sync; }
