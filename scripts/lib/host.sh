# What this host can execute. Source it; it defines functions only.

# Succeeds when the kernel runs 32-bit x86 programs. Some x86-64 kernels are
# built without that support, and 32-bit Wine cannot start there. The test is
# a minimal static 32-bit ELF that only exits with status 0, so it needs no
# 32-bit libraries. LARKSPAN_ONLY_64=1 makes it fail, forcing the 64-bit path.
host_runs_32bit() {
  [ "${LARKSPAN_ONLY_64:-0}" = 1 ] && return 1
  [ "$(uname -m)" = x86_64 ] || [ "$(uname -m)" = i686 ] || return 1
  local probe
  # In the build tree rather than /tmp, which may be mounted without
  # execution (callers run from the repository's folder).
  mkdir -p build
  probe=$(mktemp build/elf32.XXXXXX)
  # ELF header (52 bytes), one loadable segment (32 bytes), then
  # mov eax, 1 / xor ebx, ebx / int 0x80: the exit(0) system call.
  printf '\177ELF\001\001\001\000\000\000\000\000\000\000\000\000' >"$probe"
  printf '\002\000\003\000\001\000\000\000\124\200\004\010\064\000\000\000' >>"$probe"
  printf '\000\000\000\000\000\000\000\000\064\000\040\000\001\000\000\000\000\000\000\000' >>"$probe"
  printf '\001\000\000\000\000\000\000\000\000\200\004\010\000\200\004\010' >>"$probe"
  printf '\135\000\000\000\135\000\000\000\005\000\000\000\000\020\000\000' >>"$probe"
  printf '\270\001\000\000\000\061\333\315\200' >>"$probe"
  chmod +x "$probe"
  local ok=1
  "./$probe" </dev/null >/dev/null 2>&1 && ok=0
  rm -f "$probe"
  return "$ok"
}
