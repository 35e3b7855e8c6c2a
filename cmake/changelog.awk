# Turns CHANGELOG.md into the changelog of a package, in Debian's form (the
# default) or RPM's: an entry for each version, its bullet points as the
# entry's items, by the maintainer, on the version's date.
#
#   awk -v maintainer='NAME <ADDRESS>' [-v form=rpm]
#       [-v snapshot=VERSION -v snapshot_day=YYYY-MM-DD -v snapshot_time=SECONDS]
#       -f changelog.awk CHANGELOG.md
#
# CHANGELOG.md's versions are headed '## [1.0.0] - 2026-12-09', and their
# bullet points start with '- ' and go on indented by two spaces. The section
# '## [Unreleased]' is the entry of the snapshot VERSION, a build made after
# the last release, on that day at that time (SECONDS since 1970), where there
# is one, and left out otherwise. A release's entry is made at its day's
# midnight (UTC). An RPM package's release is 1.

# The day of the week of a Gregorian date, by Zeller's congruence.
function weekday(y, m, d,    k, j) {
  if (m < 3) { m += 12; y -= 1 }
  k = y % 100
  j = int(y / 100)
  return substr("SatSunMonTueWedThuFri",
                (d + int(13 * (m + 1) / 5) + k + int(k / 4) + int(j / 4) + 5 * j) % 7 * 3 + 1, 3)
}
function month_name(m) { return substr("JanFebMarAprMayJunJulAugSepOctNovDec", m * 3 - 2, 3) }

# Ends the entry before, if any: Debian's form signs it.
function finish() {
  if (version == "" || form == "rpm") return
  printf "\n -- %s  %s, %s %s %s %s +0000\n", maintainer, weekday(year, month, day), day,
         month_name(month), year, clock
}

# Finishes the entry before, if any, and begins the entry of version v, made
# on day d (YYYY-MM-DD) at the time of day of t (seconds since 1970, UTC).
function begin(v, d, t) {
  finish()
  if (version != "") print ""
  version = v
  t %= 86400
  clock = sprintf("%02d:%02d:%02d", int(t / 3600), int(t % 3600 / 60), t % 60)
  split(d, date, "-")
  year = date[1] + 0; month = date[2] + 0; day = date[3]
  if (form == "rpm") {
    printf "* %s %s %s %s %s - %s-1\n", weekday(year, month, day), month_name(month), day, year,
           maintainer, version
  } else {
    printf "tuition (%s) unstable; urgency=medium\n\n", version
  }
  item = 0
}

# An item, and a line that continues it.
function item_line(text) { print (form == "rpm" ? "- " : "  * ") text; item = 1 }
function more_line(text) { print (form == "rpm" ? "  " : "    ") text }

# Changes not yet released belong to a snapshot, when there is one.
/^## \[Unreleased\]/ {
  if (snapshot == "") { finish(); version = ""; next }
  begin(snapshot, snapshot_day, snapshot_time)
  item_line("A build made after the last release.")
  next
}
/^## \[/ { begin(substr($2, 2, length($2) - 2), $4, 0); next }
version != "" && /^- / { item_line(substr($0, 3)); next }
version != "" && item && /^  [^ ]/ { more_line(substr($0, 3)); next }
{ item = 0 }
END { finish() }
