# Sourced by the Linux benchmarks' run scripts: the figures of repeated
# measurements on a shared, noisy machine. Runs that timed out are written
# as "nan" and left out.

# The figures are written and read back with a decimal point, also on a
# desktop whose locale writes numbers with a comma.
if [[ -n "${LC_ALL:-}" ]]; then
  export LANG="$LC_ALL"
  unset LC_ALL
fi
export LC_NUMERIC=C

# The median of column $1 (1 when not given) of standard input.
median() {
  awk -v c="${1:-1}" '$c != "nan" { print $c }' | sort -g |
    awk '{ v[NR] = $1 } END { if (NR == 0) print "nan"; else print v[int((NR + 1) / 2)] }'
}

# "median q1 q3" of column $1 of standard input: the middle value and the
# two values between which the middle half of the runs lie.
spread() {
  awk -v c="${1:-1}" '$c != "nan" { print $c }' | sort -g |
    awk '{ v[NR] = $1 } END {
      if (NR == 0) { print "nan nan nan"; exit }
      print v[int((NR + 1) / 2)], v[int((NR + 3) / 4)], v[int((3 * NR + 1) / 4)] }'
}

# "median q1 q3" of the ratios of column $3 of file $1 to the same column
# of file $2, line by line: runs taken in the same round, so that a busy
# moment of the machine falls on both sides of each ratio.
paired_ratios() {
  paste "$1" "$2" | awk -v c="${3:-1}" -v n="$(head -n 1 "$1" | wc -w)" '
    { a = $c; b = $(n + c); if (a != "nan" && b != "nan" && b > 0) print a / b }' | spread
}
