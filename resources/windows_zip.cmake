# The Windows zip: one folder named as the zip, holding taloma-id.exe (and taloma.exe, when the
# window is built) with a README.txt that lists what the zip holds, taloma-id's manual as plain
# text, and the licences of what the programs carry inside them. The texts have Windows' line
# ends, which Notepad before Windows 10 needs.
set(zip_dir "${PROJECT_BINARY_DIR}/zip")
file(MAKE_DIRECTORY "${zip_dir}")

if(TALOMA_WINDOW)
  set(zip_name "taloma-${TALOMA_VERSION_TEXT}-win64")
else()
  set(zip_name "taloma-id-${TALOMA_VERSION_TEXT}-win64")
endif()

# README.txt: what this zip holds, file by file, and how to start.
set(windows_text
    "Taloma ${TALOMA_VERSION_TEXT} for Windows\n\nThis zip holds one folder, ${zip_name}, with:\n\n")
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
# taloma_text(SOURCE NAME): SOURCE in the zip as NAME, with Windows' line ends.
function(taloma_text source name)
  file(READ "${source}" text)
  string(REPLACE "\n" "\r\n" text "${text}")
  file(WRITE "${zip_dir}/${name}" "${text}")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${source}")
  install(FILES "${zip_dir}/${name}" DESTINATION .)
endfunction()
taloma_text("${PROJECT_SOURCE_DIR}/LICENSE" LICENSE.txt)

if(TALOMA_WINDOW)
  # Qt's licences and ours to meet them: what is inside, and Taloma's source to relink it with.
  install(DIRECTORY "${QT6_INSTALL_PREFIX}/licenses/" DESTINATION licenses)
  taloma_text("${CMAKE_CURRENT_LIST_DIR}/windows_licences.txt" LICENCES.txt)
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
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_PACKAGE_FILE_NAME "${zip_name}")
include(CPack)
