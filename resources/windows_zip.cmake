# The Windows zip: taloma-id.exe (and taloma.exe, when the window is built) at the top, with the
# README's words for Windows and taloma-id's manual as plain text, and the licences of what the
# programs carry inside them.
set(zip_dir "${PROJECT_BINARY_DIR}/zip")
file(MAKE_DIRECTORY "${zip_dir}")

# The README's sections for Windows users, taken from the README as it is.
file(READ "${PROJECT_SOURCE_DIR}/README.md" readme)
set(windows_text "Taloma ${TALOMA_VERSION_TEXT} for Windows\n\n")
foreach(heading IN ITEMS "## Taloma on Windows" "## taloma-id on the command line")
  string(FIND "${readme}" "${heading}" start)
  if(start LESS 0)
    continue()
  endif()
  string(SUBSTRING "${readme}" ${start} -1 section)
  string(LENGTH "${heading}" skip)
  string(SUBSTRING "${section}" ${skip} -1 rest)
  string(FIND "${rest}" "\n## " end)
  if(end GREATER_EQUAL 0)
    math(EXPR end "${end} + ${skip}")
    string(SUBSTRING "${section}" 0 ${end} section)
  endif()
  string(APPEND windows_text "${section}\n")
endforeach()
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
