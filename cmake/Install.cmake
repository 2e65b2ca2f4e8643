# The installed layout (bin/, share/q208/, desktop entry, AppStream metadata, icons, man
# pages, the udev rule) and the Debian package made from it with `cpack -G DEB`.
# The program finds its data as <exe>/../share/q208, so the tree works in any prefix.
set(Q208_APP_ID "org.q208.Q208")
set(Q208_UDEV_RULES_DIR "lib/udev/rules.d" CACHE STRING "Where udev rules go, below the prefix")
set(Q208_HOMEPAGE_URL "https://github.com/q208/q208" CACHE STRING "The project's home page")
set(Q208_SCREENSHOT_URL "${Q208_HOMEPAGE_URL}/raw/main/docs" CACHE STRING "Where docs/*.png are published")
set(Q208_DATA_INSTALL_DIR "share/q208")

install(TARGETS q208 q208ctl RUNTIME DESTINATION bin)
if(TARGET q208-audio-record)
  install(TARGETS q208-audio-record RUNTIME DESTINATION bin)
endif()
install(DIRECTORY skin/ DESTINATION ${Q208_DATA_INSTALL_DIR}/skin PATTERN README.md EXCLUDE)
install(DIRECTORY data/DefaultData/ DESTINATION ${Q208_DATA_INSTALL_DIR}/DefaultData PATTERN README.md EXCLUDE)
if(EXISTS ${PROJECT_SOURCE_DIR}/data/Font)
  install(DIRECTORY data/Font/ DESTINATION ${Q208_DATA_INSTALL_DIR}/Font)
endif()
install(FILES data/udev/70-q208.rules DESTINATION ${Q208_UDEV_RULES_DIR})
install(FILES data/desktop/${Q208_APP_ID}.desktop DESTINATION share/applications)
install(DIRECTORY data/icons/hicolor DESTINATION share/icons)
install(FILES data/icons/q208.svg DESTINATION share/icons/hicolor/scalable/apps)

# AppStream: the hardware it is for, from the udev rule (itself checked against the
# supported-interface table), so software centres can offer the program for the devices.
file(STRINGS ${PROJECT_SOURCE_DIR}/data/udev/70-q208.rules rule_lines REGEX "idVendor")
set(Q208_MODALIASES "")
foreach(line IN LISTS rule_lines)
  if(line MATCHES "idVendor}==\"([0-9a-f]+)\", ATTRS{idProduct}==\"([0-9a-f]+)\"")
    string(TOUPPER "${CMAKE_MATCH_1}" vendor)
    string(TOUPPER "${CMAKE_MATCH_2}" product)
    string(APPEND Q208_MODALIASES "    <modalias>usb:v${vendor}p${product}d*</modalias>\n")
  endif()
endforeach()
set(Q208_METAINFO ${PROJECT_BINARY_DIR}/data/${Q208_APP_ID}.metainfo.xml)
configure_file(data/desktop/${Q208_APP_ID}.metainfo.xml.in ${Q208_METAINFO} @ONLY)
install(FILES ${Q208_METAINFO} DESTINATION share/metainfo)

# Man pages, made at build from their roff sources; q208ctl's lists the command table.
string(TIMESTAMP Q208_MAN_DATE "%Y-%m-%d" UTC)
set(man_dir ${PROJECT_BINARY_DIR}/man)
set(Q208_MAN_PAGES ${man_dir}/q208.1 ${man_dir}/q208ctl.1)
add_custom_command(OUTPUT ${man_dir}/q208ctl-usage.txt
                   COMMAND ${CMAKE_COMMAND} -E make_directory ${man_dir}
                   COMMAND sh -c "'$<TARGET_FILE:q208ctl>' --help > '${man_dir}/q208ctl-usage.txt'"
                   DEPENDS q208ctl VERBATIM)
foreach(page q208 q208ctl)
  set(usage "")
  if(page STREQUAL "q208ctl")
    set(usage ${man_dir}/q208ctl-usage.txt)
  endif()
  add_custom_command(OUTPUT ${man_dir}/${page}.1 ${man_dir}/${page}.1.gz
                     COMMAND ${CMAKE_COMMAND} -DSOURCE=${PROJECT_SOURCE_DIR}/man/${page}.1.in
                             -DOUTPUT=${man_dir}/${page}.1 -DVERSION=${PROJECT_VERSION} -DDATE=${Q208_MAN_DATE}
                             -DUSAGE=${usage} -P ${PROJECT_SOURCE_DIR}/cmake/ManPage.cmake
                     COMMAND sh -c "gzip -9nc '${man_dir}/${page}.1' > '${man_dir}/${page}.1.gz'"
                     DEPENDS ${PROJECT_SOURCE_DIR}/man/${page}.1.in ${PROJECT_SOURCE_DIR}/cmake/ManPage.cmake ${usage}
                     VERBATIM)
  install(FILES ${man_dir}/${page}.1.gz DESTINATION share/man/man1)
endforeach()
add_custom_target(q208_man ALL DEPENDS ${man_dir}/q208.1.gz ${man_dir}/q208ctl.1.gz)

# What a Debian package carries besides: copyright and changelog.
configure_file(packaging/debian/changelog.in ${PROJECT_BINARY_DIR}/packaging/changelog @ONLY)
add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/packaging/changelog.gz
                   COMMAND sh -c "gzip -9nc '${PROJECT_BINARY_DIR}/packaging/changelog' > '${PROJECT_BINARY_DIR}/packaging/changelog.gz'"
                   DEPENDS ${PROJECT_BINARY_DIR}/packaging/changelog VERBATIM)
add_custom_target(q208_package_docs ALL DEPENDS ${PROJECT_BINARY_DIR}/packaging/changelog.gz)
install(FILES packaging/debian/copyright ${PROJECT_BINARY_DIR}/packaging/changelog.gz DESTINATION share/doc/q208)

set(CPACK_PACKAGE_NAME "q208")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_CONTACT "The Q208 configurator developers <q208@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configurator of the Tulmaro Q208 keyboard, mouse, mouse pad and headset")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES TRUE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "utils")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${Q208_HOMEPAGE_URL}")
set(CPACK_PACKAGE_DESCRIPTION "q208 assigns the keys and buttons, sets the lighting, DPI stages and
profiles of the Tulmaro Q208 wireless keyboard and mouse (on their cable or
behind the 2.4 GHz receiver), the lighted mouse pad and the USB headset.
q208ctl does the same from scripts; 'q208ctl doctor' checks the access to the
devices, which the bundled udev rule gives to the user logged in at the seat.")
# Libraries from dpkg-shlibdeps; Qt's platform plugins are loaded at run time.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "udev, qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA "${PROJECT_SOURCE_DIR}/packaging/debian/postinst;${PROJECT_SOURCE_DIR}/packaging/debian/postrm")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
include(CPack)
