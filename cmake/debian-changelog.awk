# Writes the Debian changelog of the packages from NEWS.md: one entry for
# each released version ("## 1.6 (2026-12-09)"), newest first, its items as
# the entry's lines. A section without a version and a date, such as
# "## Unreleased", has no package yet and is left out.
# Usage: awk -v source=NAME -v maintainer='NAME <MAIL>' -v out=FILE -f debian-changelog.awk NEWS.md
function weekday(y, m, d,    k, j) {
    # Zeller's congruence, with January and February counted as months 13
    # and 14 of the year before; 0 is Saturday.
    if (m < 3) { m += 12; y-- }
    k = y % 100; j = int(y / 100)
    return substr("SatSunMonTueWedThuFri", 1 + 3 * ((d + int(13 * (m + 1) / 5) + k + int(k / 4) + int(j / 4) + 5 * j) % 7), 3)
}
function plain(text) {
    gsub(/`|\*\*/, "", text)
    return text
}
# The item wrapped at 79 columns, after "  * ", its other lines after four spaces.
function put_item(text,    words, n, i, line) {
    n = split(plain(text), words, " ")
    line = "  *"
    for (i = 1; i <= n; i++) {
        if (length(line) + 1 + length(words[i]) > 79) { print line > out; line = "   " }
        line = line " " words[i]
    }
    print line > out
}
function end_item() {
    if (item != "") put_item(item)
    item = ""
}
function end_entry() {
    end_item()
    if (date != "") {
        split(date, ymd, "-")
        printf "\n -- %s  %s, %s %s %s 00:00:00 +0000\n", maintainer, weekday(ymd[1] + 0, ymd[2] + 0, ymd[3] + 0),
               ymd[3], substr("JanFebMarAprMayJunJulAugSepOctNovDec", 3 * ymd[2] - 2, 3), ymd[1] > out
    }
    date = ""
}
/^## / {
    end_entry()
    if (match($0, /^## [0-9][0-9.]* \([0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]\)$/)) {
        version = $2
        date = substr($3, 2, 10)
        if (entries++) print "" > out
        printf "%s (%s) unstable; urgency=medium\n\n", source, version > out
    }
    next
}
date == "" { next }
/^- / { end_item(); item = substr($0, 3); next }
/^  +[^ ]/ && item != "" { sub(/^ +/, ""); item = item " " $0; next }
/^$/ { end_item(); next }
END { end_entry() }
