# Installs the build into a fresh folder and checks that what the desktop reads fits
# together: the menu entry starts the installed executable and names the installed icon,
# and the AppStream data launches that entry.
# Called as: cmake -DBUILD=<build folder> -DSTAGE=<folder> -DAPP_ID=<id>
#   -DSOURCE=<source folder> -DVERSION=<package version> -P check_install.cmake
file(REMOVE_RECURSE "${STAGE}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD}" --prefix "${STAGE}"
  RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${rc}")
endif()

set(desktop "${STAGE}/share/applications/${APP_ID}.desktop")
set(metainfo "${STAGE}/share/metainfo/${APP_ID}.metainfo.xml")
foreach(f "${desktop}" "${metainfo}" "${STAGE}/share/doc/velnor/README.md"
    "${STAGE}/share/doc/velnor/copyright" "${STAGE}/share/doc/velnor/changelog.Debian.gz"
    "${STAGE}/share/man/man1/velnor.1.gz" "${STAGE}/share/icons/hicolor/48x48/apps/${APP_ID}.png"
    "${STAGE}/share/icons/hicolor/64x64/apps/${APP_ID}.png"
    "${STAGE}/share/icons/hicolor/128x128/apps/${APP_ID}.png")
  if(NOT EXISTS "${f}")
    message(FATAL_ERROR "not installed: ${f}")
  endif()
endforeach()

file(STRINGS "${desktop}" exec REGEX "^Exec=")
string(REGEX REPLACE "^Exec=([^ ]+).*" "\\1" exec "${exec}")
if(NOT exec OR NOT EXISTS "${STAGE}/bin/${exec}")
  message(FATAL_ERROR "the menu entry starts '${exec}', which is not in ${STAGE}/bin")
endif()
file(STRINGS "${desktop}" icon REGEX "^Icon=")
string(REGEX REPLACE "^Icon=" "" icon "${icon}")
if(NOT icon OR NOT EXISTS "${STAGE}/share/icons/hicolor/scalable/apps/${icon}.svg")
  message(FATAL_ERROR "the menu entry names icon '${icon}', which is not installed")
endif()
file(READ "${metainfo}" xml)
if(NOT xml MATCHES "<launchable type=\"desktop-id\">${APP_ID}\\.desktop</launchable>")
  message(FATAL_ERROR "the AppStream data does not launch ${APP_ID}.desktop")
endif()

# The change log's newest entry is the package being made.
file(STRINGS "${SOURCE}/packaging/changelog.Debian" top LIMIT_COUNT 1)
if(NOT top MATCHES "^velnor \\(${VERSION}\\) ")
  message(FATAL_ERROR "the change log begins '${top}', not version ${VERSION}")
endif()
# The copyright file carries the licence word for word.
file(READ "${SOURCE}/LICENSE" licence)
file(READ "${SOURCE}/packaging/copyright" copyright)
string(REGEX REPLACE "^.*\nPermission" "Permission" licence "${licence}")
string(REGEX REPLACE "\n \\.\n" "\n\n" copyright "${copyright}")
string(REPLACE "\n " "\n" copyright "${copyright}")
string(FIND "${copyright}" "${licence}" at)
if(at EQUAL -1)
  message(FATAL_ERROR "packaging/copyright does not hold the text of LICENSE")
endif()
