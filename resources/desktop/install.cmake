# What `cmake --install` puts where, the sample skins packed at build time,
# and the Debian package (cpack -G DEB).
include(GNUInstallDirs)

set(desktop_dir ${PROJECT_SOURCE_DIR}/resources/desktop)
set(share_dir ${CMAKE_INSTALL_DATADIR}/tolvenmark-clock)

install(TARGETS tolvenmark-clock tolvenmark-skin-pack RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(PROGRAMS ${PROJECT_SOURCE_DIR}/scripts/tolvenmark-clock-session DESTINATION ${CMAKE_INSTALL_BINDIR})
# The session script finds the one first-configuration installer here.
install(PROGRAMS ${PROJECT_SOURCE_DIR}/scripts/install-config DESTINATION libexec/tolvenmark-clock)
# The wake helper needs cap_wake_alarm to wake a sleeping machine; the Debian
# package grants it in its postinst, other installs by hand.
install(TARGETS tolvenmark-clock-wake RUNTIME DESTINATION libexec/tolvenmark-clock)
install(CODE "message(STATUS \"To let the clock wake a sleeping machine for an alarm, run as root: \
setcap cap_wake_alarm+ep \$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/libexec/tolvenmark-clock/tolvenmark-clock-wake\")")
install(FILES ${desktop_dir}/tolvenmark-clock.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${desktop_dir}/org.example.tolvenmark.Clock.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY ${desktop_dir}/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)

# The build folder holds the installed data folder's twin, share/tolvenmark-clock
# beside the program, so the clock run from there finds its guide, sample skins
# and sounds as the installed one does.
set(staged_dir ${CMAKE_BINARY_DIR}/${share_dir})

# Sample skins: each folder of resources/skins becomes <Name>.skn.
set(packed_skins)
foreach(skin Round Strip)
  string(TOLOWER ${skin} folder)
  set(source ${PROJECT_SOURCE_DIR}/resources/skins/${folder})
  set(packed ${staged_dir}/skins/${skin}.skn)
  file(GLOB members CONFIGURE_DEPENDS ${source}/*)
  add_custom_command(OUTPUT ${packed}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${staged_dir}/skins
    COMMAND tolvenmark-skin-pack ${source} ${packed}
    DEPENDS tolvenmark-skin-pack ${members}
    COMMENT "Packing the ${skin} skin"
    VERBATIM)
  list(APPEND packed_skins ${packed})
endforeach()
add_custom_target(sample_skins ALL DEPENDS ${packed_skins})
install(FILES ${packed_skins} DESTINATION ${share_dir}/skins)
# The user guide, found from the program as ../share/tolvenmark-clock.
# Its pictures are copies of docs/screenshots, made by tools/screenshots.sh.
file(GLOB help_pictures CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/resources/help/*.png)
set(help_files ${PROJECT_SOURCE_DIR}/resources/help/TolvenHelp.html ${help_pictures})
install(FILES ${help_files} DESTINATION ${share_dir})
# The alarm sound of the first configuration, drawn by tools/make_chime.
set(sound_files ${PROJECT_SOURCE_DIR}/resources/sounds/chime.opus)
install(FILES ${sound_files} DESTINATION ${share_dir}/sounds)

set(staged_files)
foreach(file ${help_files} ${sound_files})
  get_filename_component(name ${file} NAME)
  set(to_dir ${staged_dir})
  if(file IN_LIST sound_files)
    set(to_dir ${staged_dir}/sounds)
  endif()
  set(to ${to_dir}/${name})
  add_custom_command(OUTPUT ${to}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${to_dir}
    COMMAND ${CMAKE_COMMAND} -E copy ${file} ${to}
    DEPENDS ${file} VERBATIM)
  list(APPEND staged_files ${to})
endforeach()
add_custom_target(staged_data ALL DEPENDS ${staged_files})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tolvenmark-clock)
set(CPACK_PACKAGE_VENDOR "Tolvenmark")
set(CPACK_PACKAGE_CONTACT "Tolvenmark Clock developers <clock@tolvenmark.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "skinnable desktop alarm clock")
# Lines of at most 80 columns, as Debian's description asks.
set(CPACK_PACKAGE_DESCRIPTION "A desktop alarm clock whose window takes the shape of its skin.\n\
When an alarm is due it starts a media player, shows a message or runs\n\
a command; saved alarm times run daily, weekly or monthly series by\n\
themselves.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://tolvenmark.example.org/clock/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded or run at run time, so dpkg-shlibdeps cannot see them: the display
# plugins, the families the skins' fonts are drawn with,
# and setcap, which the postinst gives the wake helper its capability with.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-dejavu-core, fonts-urw-base35, libcap2-bin")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${desktop_dir}/debian/postinst)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# A player for the first configuration's alarm sound, the opener of the guide, and the
# display plugin of Wayland sessions (without it the clock runs through XWayland).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "mpv | vlc | ffmpeg | pulseaudio-utils, xdg-utils, qt6-wayland")
set(CPACK_STRIP_FILES ON)
include(CPack)
