#!/bin/sh
# The launcher as a user would write it in POSIX sh: reads the INI beside
# this script that bears its name, exports the "[Environment Variables]"
# entries (placeholders expanded, values appended with ":"), and starts
# velmora/velmora with "-ws gtk", the user's arguments, "-vmargs" and the
# VMArgs lines.
dir=${0%/*}/
name=${0##*/}
ini=$dir${name%.*}.ini
[ -f "$ini" ] || { printf '[Error]\nCannot open INI file: %s\n' "$ini" >&2; exit 1; }

# Replaces every $2 in $1 by $3; the result is in $replaced.
replace_all() {
  replaced= rest=$1
  while :; do
    case $rest in
      *"$2"*) replaced=$replaced${rest%%"$2"*}$3; rest=${rest#*"$2"} ;;
      *) replaced=$replaced$rest; return ;;
    esac
  done
}

set -- "$@" -vmargs
cr=$(printf '\r')
section=
while IFS= read -r line || [ -n "$line" ]; do
  line=${line%"$cr"}
  case $line in
    ''|';'*) continue ;;
    *'['*)
      trimmed=$line
      while case $trimmed in ' '*) true ;; *) false ;; esac; do trimmed=${trimmed# }; done
      while case $trimmed in *' ') true ;; *) false ;; esac; do trimmed=${trimmed% }; done
      case $trimmed in
        '[Settings]') section=settings; continue ;;
        '[Environment Variables]') section=environment; continue ;;
      esac
      case $line in '['*) section=; continue ;; esac ;;
  esac
  case $section in
    settings)
      case $line in VMArgs=*) set -- "$@" "${line#VMArgs=}" ;; esac ;;
    environment)
      key=${line%%=*}
      case $key in ''|*[!A-Za-z0-9_]*|[0-9]*) continue ;; esac
      case $line in *=*) ;; *) continue ;; esac
      value=${line#*=}
      replace_all "$value" '<My Documents>' "$HOME"; value=$replaced
      replace_all "$value" '<$HOME>' "$HOME"; value=$replaced
      replace_all "$value" '<CURRDIR>' "$dir"; value=$replaced
      eval "current=\${$key-}"
      if [ -n "$current" ]; then value=$current:$value; fi
      if [ -n "$value" ]; then export "$key=$value"; else unset "$key"; fi ;;
  esac
done < "$ini"

exec "${dir}velmora/velmora" -ws gtk "$@"
