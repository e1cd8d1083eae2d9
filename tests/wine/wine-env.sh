# Sourced by the Wine scripts. Debian's wine64 package keeps its programs in /usr/lib/wine; the
# "wine" front end comes from another package, which a machine may lack.
case ":$PATH:" in *:/usr/lib/wine:*) ;; *) export PATH="$PATH:/usr/lib/wine" ;; esac
command -v wine >/dev/null 2>&1 || wine() { wine64 "$@"; }
