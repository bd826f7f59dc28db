# What an install put in place, as listed in its manifest: shared by scripts/install and
# scripts/uninstall. Sourced.

manifest_name=install-manifest.txt

# Whether a systemd user manager answers; in CI and containers none does.
user_manager_answers() {
  systemctl --user show-environment >/dev/null 2>&1
}

# Removes the listed files and links, never a settings file; timers among them are disabled
# first where a user manager answers.
remove_installed() {
  local file timers=()
  for file; do
    case "$file" in
      */*.wants/*) ;;
      *.timer) timers+=("${file##*/}") ;;
    esac
  done
  if [ ${#timers[@]} -gt 0 ] && user_manager_answers; then
    systemctl --user disable --now "${timers[@]}" || true
  fi
  for file; do
    [[ "$file" == /* ]] || continue
    [[ "${file##*/}" == [Ss][Ee][Tt][Uu][Pp].[Ii][Nn][Ii] ]] && continue
    if [ -L "$file" ] || [ -f "$file" ]; then
      rm -f -- "$file"
      echo "Removed: $file"
    fi
  done
  if [ ${#timers[@]} -gt 0 ] && user_manager_answers; then
    systemctl --user daemon-reload || true
  fi
}

# The manifest's lines, one a line, or nothing when there is no manifest.
read_manifest() {
  local manifest="$1"
  [ -f "$manifest" ] && cat -- "$manifest"
  return 0
}

# The lines of the texts given, sorted, without repeats or empty lines.
sorted_lines() {
  printf '%s\n' "$@" | sed '/^$/d' | sort -u
}

# Writes the manifest from the lines of the texts given, replacing it whole.
write_manifest() {
  local manifest="$1"
  shift
  sorted_lines "$@" > "$manifest.new"
  mv -f -- "$manifest.new" "$manifest"
}
