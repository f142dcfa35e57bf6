# What a desktop installation carries beside the programs: the application icon and the icon of
# layout files at every size of the hicolor theme, the manual pages and the bash completion.
# The icons are drawn as SVG (with a 16-pixel drawing of their own) and rendered here.

find_program(TARNWICK_RSVG_CONVERT rsvg-convert)
if(NOT TARNWICK_RSVG_CONVERT)
  message(FATAL_ERROR "rsvg-convert not found; scripts/install-deps installs librsvg2-bin")
endif()
find_program(TARNWICK_GZIP gzip REQUIRED)

set(TARNWICK_ICON_SIZES 16 32 48 64 128 256)
set(generated_files)

# icon name -> hicolor context
foreach(icon tarnwick:apps application-x-tarnwick-layout:mimetypes)
  string(REPLACE ":" ";" icon ${icon})
  list(GET icon 0 name)
  list(GET icon 1 context)
  foreach(size ${TARNWICK_ICON_SIZES})
    if(size EQUAL 16)
      set(svg ${PROJECT_SOURCE_DIR}/data/icons/${name}-16.svg)
    else()
      set(svg ${PROJECT_SOURCE_DIR}/data/icons/${name}.svg)
    endif()
    set(png ${PROJECT_BINARY_DIR}/icons/${size}/${name}.png)
    add_custom_command(OUTPUT ${png}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/icons/${size}
      COMMAND ${TARNWICK_RSVG_CONVERT} --width ${size} --height ${size} --output ${png} ${svg}
      DEPENDS ${svg}
      COMMENT "Rendering the ${size} px icon ${name}.png"
      VERBATIM)
    list(APPEND generated_files ${png})
    install(FILES ${png}
      DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/${context})
  endforeach()
  install(FILES data/icons/${name}.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/${context})
endforeach()

# Manual pages, with the version filled in and compressed as Debian keeps them.
foreach(page tarnwick tarnwick-cli)
  set(roff ${PROJECT_BINARY_DIR}/man/${page}.1)
  configure_file(data/man/${page}.1.in ${roff} @ONLY)
  add_custom_command(OUTPUT ${roff}.gz
    COMMAND ${TARNWICK_GZIP} -9 -n -k -f ${roff}
    DEPENDS ${roff}
    VERBATIM)
  list(APPEND generated_files ${roff}.gz)
  install(FILES ${roff}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()

# The package's changelog, compressed the same way; its newest entry names the project's version.
set(changelog ${PROJECT_BINARY_DIR}/debian/changelog)
configure_file(data/debian/changelog ${changelog} COPYONLY)
add_custom_command(OUTPUT ${changelog}.gz
  COMMAND ${TARNWICK_GZIP} -9 -n -k -f ${changelog}
  DEPENDS ${changelog}
  VERBATIM)
list(APPEND generated_files ${changelog}.gz)
install(FILES ${changelog}.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tarnwick)

add_custom_target(tarnwick_desktop_files ALL DEPENDS ${generated_files})

install(FILES data/completion/tarnwick-cli
  DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
install(FILES data/debian/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tarnwick)
