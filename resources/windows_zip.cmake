# The Windows zip: taloma-id.exe (and taloma.exe, when the window is built) at the top, with a
# README.txt that lists what the zip holds, taloma-id's manual as plain text, and the licences of
# what the programs carry inside them.
set(zip_dir "${PROJECT_BINARY_DIR}/zip")
file(MAKE_DIRECTORY "${zip_dir}")

# README.txt: what this zip holds, file by file, and how to start.
set(windows_text "Taloma ${TALOMA_VERSION_TEXT} for Windows\n\nThis zip holds:\n\n")
if(TALOMA_WINDOW)
  string(APPEND windows_text
    "  taloma.exe            the window (身分證字號產生器): make, check and copy numbers\n")
endif()
string(APPEND windows_text
  "  taloma-id.exe         the command line: check, scan, gen and places\n"
  "  taloma-id.txt         taloma-id's manual\n"
  "  LICENSE.txt           Taloma's licence (MIT)\n")
if(TALOMA_WINDOW)
  string(APPEND windows_text
    "  LICENCES.txt          what taloma.exe carries inside it, and under which licences\n"
    "  licenses\\             the licences of Qt and of the libraries built into it\n"
    "  taloma-source.tar.gz  Taloma's source, to rebuild and relink taloma.exe\n"
    "\nUnzip it anywhere and run taloma.exe. ")
else()
  string(APPEND windows_text "\nUnzip it anywhere. ")
endif()
string(APPEND windows_text
  "taloma-id.exe runs in a console or PowerShell, for example:\n\n"
  "  taloma-id check A123456789\n"
  "  taloma-id scan --redact export.csv > shared.csv\n"
  "  taloma-id gen -n 10 --seed 42\n\n"
  "It reads and writes UTF-8 (and reads UTF-16), and gives the same output as on Linux.\n"
  "The programs need nothing but Windows' own libraries. They are built on Debian and tested\n"
  "under wine.\n")
string(REPLACE "\n" "\r\n" windows_text "${windows_text}")
file(WRITE "${zip_dir}/README.txt" "${windows_text}")

# The manual page as text, set by the build machine's man.
find_program(TALOMA_MAN man NO_CMAKE_FIND_ROOT_PATH)
find_program(TALOMA_COL col NO_CMAKE_FIND_ROOT_PATH)
set(manual "${zip_dir}/taloma-id.txt")
add_custom_command(OUTPUT "${manual}"
  COMMAND ${CMAKE_COMMAND} -E env MANWIDTH=80 MAN_KEEP_FORMATTING=0 sh -c
          "${TALOMA_MAN} -l '${PROJECT_BINARY_DIR}/cli/taloma-id.1' | ${TALOMA_COL} -bx | sed 's/$/\\r/' > '${manual}'"
  DEPENDS "${PROJECT_BINARY_DIR}/cli/taloma-id.1" VERBATIM)
add_custom_target(taloma_zip_texts ALL DEPENDS "${manual}")
install(FILES "${zip_dir}/README.txt" "${manual}" DESTINATION .)
install(FILES "${PROJECT_SOURCE_DIR}/LICENSE" DESTINATION . RENAME LICENSE.txt)

if(TALOMA_WINDOW)
  # Qt's licences and ours to meet them: what is inside, and Taloma's source to relink it with.
  install(DIRECTORY "${QT6_INSTALL_PREFIX}/licenses/" DESTINATION licenses)
  install(FILES "${CMAKE_CURRENT_LIST_DIR}/windows_licences.txt" DESTINATION . RENAME LICENCES.txt)
  find_package(Git QUIET)
  if(GIT_FOUND AND EXISTS "${PROJECT_SOURCE_DIR}/.git")
    set(source_archive "${zip_dir}/taloma-source.tar.gz")
    add_custom_command(OUTPUT "${source_archive}"
      COMMAND "${GIT_EXECUTABLE}" -C "${PROJECT_SOURCE_DIR}" archive --format=tar.gz
              "--prefix=taloma-${TALOMA_VERSION_TEXT}/" -o "${source_archive}" HEAD
      VERBATIM)
    add_custom_target(taloma_source_archive ALL DEPENDS "${source_archive}")
    install(FILES "${source_archive}" DESTINATION .)
  else()
    message(WARNING "not a git checkout: the Windows zip goes out without Taloma's source")
  endif()
endif()

set(CPACK_GENERATOR "ZIP")
set(CPACK_PACKAGE_NAME "taloma")
set(CPACK_PACKAGE_VERSION "${TALOMA_VERSION_TEXT}")
set(CPACK_PACKAGE_VENDOR "Taloma")
set(CPACK_STRIP_FILES ON)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
if(TALOMA_WINDOW)
  set(CPACK_PACKAGE_FILE_NAME "taloma-${TALOMA_VERSION_TEXT}-win64")
else()
  set(CPACK_PACKAGE_FILE_NAME "taloma-id-${TALOMA_VERSION_TEXT}-win64")
endif()
include(CPack)
