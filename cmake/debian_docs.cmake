# What Debian asks of a package beside the programs: the copyright file, the
# changelog stamped with the build's version, and a manual page per program,
# each compressed as Debian's tools do (gzip -9n: no name, no time, so the same
# source gives the same bytes).
include(GNUInstallDirs)
set(debian_dir ${PROJECT_SOURCE_DIR}/resources/desktop/debian)
set(doc_dir ${CMAKE_INSTALL_DATADIR}/doc/tolvenmark-clock)
find_program(GZIP_PROGRAM gzip REQUIRED)

install(FILES ${debian_dir}/copyright DESTINATION ${doc_dir})

# A version without a Debian revision makes a native package, whose changelog
# is changelog.gz.
configure_file(${debian_dir}/changelog.in ${CMAKE_BINARY_DIR}/debian/changelog @ONLY)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/debian/changelog.gz
  COMMAND ${GZIP_PROGRAM} -9nkf ${CMAKE_BINARY_DIR}/debian/changelog
  DEPENDS ${CMAKE_BINARY_DIR}/debian/changelog VERBATIM)
set(debian_docs ${CMAKE_BINARY_DIR}/debian/changelog.gz)
install(FILES ${CMAKE_BINARY_DIR}/debian/changelog.gz DESTINATION ${doc_dir})

# Manual pages from docs/man/*.scd (scdoc).
find_program(SCDOC_PROGRAM scdoc)
if(SCDOC_PROGRAM)
  file(GLOB man_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/docs/man/*.scd)
  foreach(source ${man_sources})
    get_filename_component(page ${source} NAME_WLE)
    string(REGEX REPLACE ".*\\.([0-9])$" "\\1" section ${page})
    set(out ${CMAKE_BINARY_DIR}/man/${page}.gz)
    add_custom_command(OUTPUT ${out}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
      COMMAND sh -c "'${SCDOC_PROGRAM}' < '${source}' | '${GZIP_PROGRAM}' -9n > '${out}'"
      DEPENDS ${source} VERBATIM)
    list(APPEND debian_docs ${out})
    install(FILES ${out} DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section})
  endforeach()
else()
  message(WARNING "scdoc not found (Debian package scdoc): no manual pages are built or installed")
endif()
add_custom_target(debian_docs ALL DEPENDS ${debian_docs})

# Tags lintian may report that are accepted, each with its reason.
install(FILES ${debian_dir}/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
        RENAME tolvenmark-clock)

# The compiler's name in each program is of no use to it (Debian's own
# packages drop it too, as binary-has-unneeded-section tells).
if(CMAKE_OBJCOPY)
  foreach(program ${CMAKE_INSTALL_BINDIR}/tolvenmark-clock ${CMAKE_INSTALL_BINDIR}/tolvenmark-skin-pack
                  libexec/tolvenmark-clock/tolvenmark-clock-wake)
    install(CODE "execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment
                  \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${program}\" COMMAND_ERROR_IS_FATAL ANY)")
  endforeach()
endif()
