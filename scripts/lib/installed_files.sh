# What an install put in place, as listed in its manifest: shared by scripts/install and
# scripts/uninstall. Sourced.

manifest_name=install-manifest.txt

# Whether a systemd user manager answers; in CI and containers none does.
user_manager_answers() {
  systemctl --user show-environment >/dev/null 2>&1
}

# The folder and those of its parents that do not exist yet, one a line: what installing into it
# makes.
folders_to_be_made() {
  local folder="$1"
  while [ ! -e "$folder" ]; do
    printf '%s\n' "$folder"
    folder="$(dirname -- "$folder")"
  done
}

# Of the listed paths, the folders, one a line.
folders_among() {
  local path
  for path; do
    [ -d "$path" ] && [ ! -L "$path" ] && printf '%s\n' "$path"
  done
  return 0
}

# Removes the listed files and links, never a settings file, then the listed folders that are left
# empty, innermost first; timers among them are disabled first where a user manager answers.
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
  remove_empty_folders "$@"
  if [ ${#timers[@]} -gt 0 ] && user_manager_answers; then
    systemctl --user daemon-reload || true
  fi
}

# Removes the listed folders that are empty, innermost first, so that a folder emptied by
# removing another goes too.
remove_empty_folders() {
  local folder
  while IFS= read -r folder; do
    rmdir --ignore-fail-on-non-empty -- "$folder"
    [ -e "$folder" ] || echo "Removed: $folder/"
  done < <(folders_among "$@" | sort -r)
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
