# Installs the build into a fresh folder and checks that what the desktop reads fits
# together: the menu entry starts the installed executable and names the installed icon,
# and the AppStream data launches that entry.
# Called as: cmake -DBUILD=<build folder> -DSTAGE=<folder> -DAPP_ID=<id> -P check_install.cmake
file(REMOVE_RECURSE "${STAGE}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD}" --prefix "${STAGE}"
  RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${rc}")
endif()

set(desktop "${STAGE}/share/applications/${APP_ID}.desktop")
set(metainfo "${STAGE}/share/metainfo/${APP_ID}.metainfo.xml")
foreach(f "${desktop}" "${metainfo}" "${STAGE}/share/doc/velnor/README.md"
    "${STAGE}/share/doc/velnor/LICENSE")
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
