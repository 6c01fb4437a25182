# The DLL closure of Windows executables and DLLs, from their imports
# (objdump -p), in lower case: what a folder of them must hold besides
# Windows' own DLLs. Sourced by the checks.

dll_imports() { # file
  x86_64-w64-mingw32-objdump -p "$1" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z' | tr -d '\r'
}

# Prints, one a line, the DLLs of `dir` (top level) that the given files
# import, directly or through each other.
shipped_closure() { # dir file...
  local dir=$1
  shift
  declare -A have=() seen=()
  local f
  for f in "$dir"/*.dll; do have[$(basename "$f" | tr 'A-Z' 'a-z')]=$f; done
  local queue=("$@")
  while ((${#queue[@]} > 0)); do
    f=${queue[0]}
    queue=("${queue[@]:1}")
    local name
    for name in $(dll_imports "$f"); do
      [[ -n ${seen[$name]:-} ]] && continue
      seen[$name]=1
      if [[ -n ${have[$name]:-} ]]; then
        echo "$name"
        queue+=("${have[$name]}")
      fi
    done
  done
}
