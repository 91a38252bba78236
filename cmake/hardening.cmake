# Hardened programs, as Debian builds its own: a canary on every frame that
# holds an array, checked libc calls where the size is known, a read-only
# relocation table resolved at start, and position-independent programs.
# The sanitizers bring checks of their own, and fortified calls would hide
# faults from them, so those builds do without the fortified calls.
include(CheckPIESupported)
check_pie_supported()
set(CMAKE_POSITION_INDEPENDENT_CODE ON)

add_compile_options(-fstack-protector-strong)
# Probes that keep a large frame from jumping over the stack's guard page,
# and the marks of the processor's control-flow checks (CET on x86-64), which
# take effect once every object linked has them (Debian 12's start files do not).
include(CheckCXXCompilerFlag)
foreach(flag -fstack-clash-protection -fcf-protection)
  string(MAKE_C_IDENTIFIER "HAVE${flag}" have)
  check_cxx_compiler_flag(${flag} ${have})
  if(${have})
    add_compile_options(${flag})
  endif()
endforeach()
add_link_options(LINKER:-z,relro,-z,now)
if(NOT TOLVENMARK_SANITIZE AND NOT TOLVENMARK_FUZZ)
  # The checks need the optimiser's knowledge of sizes: not at -O0.
  add_compile_options($<$<NOT:$<CONFIG:Debug>>:-U_FORTIFY_SOURCE> $<$<NOT:$<CONFIG:Debug>>:-D_FORTIFY_SOURCE=2>)
endif()
