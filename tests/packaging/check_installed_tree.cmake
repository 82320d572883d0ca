# Installs the build into a scratch prefix and checks that a desktop finds the program there.
# cmake -DBUILD_DIR=... -DWORK_DIR=... -DAPP_ID=... -DDESKTOP_FILE_VALIDATE=... -DAPPSTREAMCLI=...
#       -DWITH_PAGE=ON|OFF [-DPOSTGRES=postgresql-15-taloma] -P check_installed_tree.cmake
cmake_minimum_required(VERSION 3.25)

foreach(tool DESKTOP_FILE_VALIDATE APPSTREAMCLI)
  if(NOT EXISTS "${${tool}}")
    message(FATAL_ERROR "${tool} is missing (desktop-file-utils, appstream); run scripts/test")
  endif()
endforeach()

set(root "${WORK_DIR}/root")
set(prefix "${root}/usr")
file(REMOVE_RECURSE "${root}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${prefix}"
                RESULT_VARIABLE failed OUTPUT_VARIABLE log ERROR_VARIABLE log)
if(failed)
  message(FATAL_ERROR "cmake --install failed:\n${log}")
endif()

set(metainfo "share/metainfo/${APP_ID}.metainfo.xml")
set(expected bin/taloma bin/taloma-id share/man/man1/taloma-id.1.gz share/man/man1/taloma.1.gz
             share/doc/taloma/copyright share/doc/taloma/changelog.gz
             share/bash-completion/completions/taloma-id share/applications/taloma.desktop
             share/icons/hicolor/32x32/apps/taloma.png share/icons/hicolor/64x64/apps/taloma.png
             "${metainfo}")
if(WITH_PAGE)
  list(APPEND expected share/taloma/taloma.html share/taloma/web/index.html
       share/taloma/web/manifest.webmanifest share/taloma/web/sw.js share/taloma/web/icon-192.png
       share/taloma/web/icon-512.png)
endif()
file(GLOB_RECURSE installed LIST_DIRECTORIES false RELATIVE "${prefix}" "${prefix}/*")
# libtaloma: its files, whatever the machine's library folder and the build type are called.
set(library_files "include/taloma/taloma\\.h" "lib/[^/]+/libtaloma\\.(a|so|so\\.1|so\\.1\\.0\\.0)"
    "lib/[^/]+/pkgconfig/taloma\\.pc" "lib/[^/]+/cmake/Taloma/Taloma[A-Za-z-]*\\.cmake"
    "share/doc/libtaloma(1|-dev)/(copyright|changelog\\.gz)" "share/lintian/overrides/libtaloma1"
    "lib/python3[.0-9]*/(dist|site)-packages/taloma/(_taloma[^/]*\\.so|__init__\\.pyi?|dask\\.py|pandas\\.py|py\\.typed)"
    "share/doc/python3-taloma/(copyright|changelog\\.gz)")
if(POSTGRES)
  list(APPEND library_files "lib/postgresql/[0-9]+/lib/taloma\\.so"
       "share/postgresql/[0-9]+/extension/taloma(\\.control|--1\\.0\\.sql)"
       "share/postgresql/[0-9]+/extension/taloma--1\\.0--1\\.1\\.sql"
       "share/doc/${POSTGRES}/(copyright|changelog\\.gz)")
endif()
foreach(pattern IN LISTS library_files)
  set(matched "${installed}")
  list(FILTER matched INCLUDE REGEX "^${pattern}$")
  if(NOT matched)
    message(FATAL_ERROR "the library's ${pattern} is not installed:\n  ${installed}")
  endif()
  list(FILTER installed EXCLUDE REGEX "^${pattern}$")
endforeach()
list(SORT installed)
list(SORT expected)
if(NOT installed STREQUAL expected)
  message(FATAL_ERROR "installed files:\n  ${installed}\nexpected:\n  ${expected}")
endif()

foreach(program taloma taloma-id)
  file(READ "${prefix}/bin/${program}" magic LIMIT 4 HEX)
  if(NOT magic STREQUAL "7f454c46")
    message(FATAL_ERROR "bin/${program} is not a program")
  endif()
endforeach()
execute_process(COMMAND "${prefix}/bin/taloma-id" --version OUTPUT_VARIABLE version)
if(NOT version STREQUAL "taloma-id ${VERSION_TEXT}\n")
  message(FATAL_ERROR "the installed taloma-id says: ${version}")
endif()
foreach(page taloma-id taloma)
  execute_process(COMMAND gzip -dc "${prefix}/share/man/man1/${page}.1.gz" OUTPUT_VARIABLE manual
                  COMMAND_ERROR_IS_FATAL ANY)
  string(TOUPPER "${page}" title)
  if(NOT manual MATCHES "\n\\.TH ${title} 1 ")
    message(FATAL_ERROR "share/man/man1/${page}.1.gz is no manual page of section 1")
  endif()
endforeach()

# PNGs of their folder's size: the signature, then IHDR with the width and height.
foreach(size_hex IN ITEMS "32;00000020" "64;00000040")
  list(GET size_hex 0 size)
  list(GET size_hex 1 hex)
  file(READ "${prefix}/share/icons/hicolor/${size}x${size}/apps/taloma.png" png LIMIT 24 HEX)
  if(NOT png MATCHES "^89504e470d0a1a0a0000000d49484452${hex}${hex}$")
    message(FATAL_ERROR "the ${size}x${size} theme icon is not a PNG of that size: ${png}")
  endif()
endforeach()

# The entry starts the installed program, names the installed icon and carries the Chinese name.
file(STRINGS "${prefix}/share/applications/taloma.desktop" entry ENCODING UTF-8)
foreach(line "Exec=taloma" "Icon=taloma" "Name=Taloma" "Name[zh_TW]=身分證字號產生器"
             "Type=Application")
  if(NOT line IN_LIST entry)
    message(FATAL_ERROR "taloma.desktop lacks the line ${line}")
  endif()
endforeach()

file(READ "${prefix}/${metainfo}" component)
foreach(part "<id>${APP_ID}</id>" "<launchable type=\"desktop-id\">taloma.desktop</launchable>"
             "<release version=\"${VERSION_TEXT}\"" "<name xml:lang=\"zh_TW\">身分證字號產生器</name>")
  string(FIND "${component}" "${part}" at)
  if(at LESS 0)
    message(FATAL_ERROR "the AppStream metadata lacks ${part}")
  endif()
endforeach()

foreach(check
    "${DESKTOP_FILE_VALIDATE};${prefix}/share/applications/taloma.desktop"
    "${APPSTREAMCLI};validate;--no-net;--pedantic;${prefix}/${metainfo}"
    "${APPSTREAMCLI};validate-tree;--no-net;${root}")
  execute_process(COMMAND ${check} RESULT_VARIABLE failed OUTPUT_VARIABLE log ERROR_VARIABLE log)
  # desktop-file-validate reports hints and warnings without failing; take any of them as a fault.
  if(failed OR log MATCHES "(^|\n)[^\n]*(error|warning|hint):")
    message(FATAL_ERROR "${check} found faults:\n${log}")
  endif()
  message(STATUS "${check}: ${log}")
endforeach()
