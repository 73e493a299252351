# The menu's and the file manager's icons: the pixel-drawn 16 and 32 px pictures as they
# are, the larger sizes rendered from the SVG at build time, and the SVG itself.
find_program(RSVG_CONVERT rsvg-convert REQUIRED)  # Debian: librsvg2-bin
set(icon_svg ${PROJECT_SOURCE_DIR}/res/icons/kestrum.svg)
set(hicolor ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
set(rendered_icons)
foreach(size 48 64 128 256)
  set(png ${CMAKE_CURRENT_BINARY_DIR}/icons/kestrum-${size}.png)
  add_custom_command(OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/icons
    COMMAND ${RSVG_CONVERT} --width ${size} --height ${size} --output ${png} ${icon_svg}
    DEPENDS ${icon_svg} VERBATIM)
  list(APPEND rendered_icons ${png})
  install(FILES ${png} DESTINATION ${hicolor}/${size}x${size}/apps RENAME kestrum.png)
endforeach()
add_custom_target(kestrum_icons ALL DEPENDS ${rendered_icons})

install(FILES ${icon_svg} DESTINATION ${hicolor}/scalable/apps)
foreach(size 16 32)
  install(FILES ${PROJECT_SOURCE_DIR}/res/icons/kestrum-${size}.xpm DESTINATION ${hicolor}/${size}x${size}/apps
          RENAME kestrum.xpm)
endforeach()
