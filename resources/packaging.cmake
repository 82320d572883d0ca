# How `cpack` turns the install rules into a package: a Debian package, or for Windows a zip; and
# what a distribution looks for beside the programs.
if(WIN32)
  include(${CMAKE_CURRENT_LIST_DIR}/windows_zip.cmake)
  return()
endif()

# The licence as a Debian copyright file, the changelog (Debian's form, pointing at CHANGELOG.md)
# and the manual pages, compressed as Debian has them; installed by `cmake --install` too.
set(doc_dir "${PROJECT_BINARY_DIR}/doc")
configure_file("${CMAKE_CURRENT_LIST_DIR}/debian/copyright" "${doc_dir}/copyright" @ONLY)
configure_file("${CMAKE_CURRENT_LIST_DIR}/debian/changelog.in" "${doc_dir}/changelog" @ONLY)
# taloma_gzip(SOURCE OUTPUT): OUTPUT is SOURCE compressed, with no time stamp inside.
function(taloma_gzip source output)
  add_custom_command(OUTPUT "${output}" COMMAND sh -c "gzip -9 -n -c '${source}' > '${output}'"
                     DEPENDS "${source}" VERBATIM)
endfunction()
taloma_gzip("${doc_dir}/changelog" "${doc_dir}/changelog.gz")
get_property(pages GLOBAL PROPERTY TALOMA_MANUAL_PAGES)
set(manuals)
foreach(page IN LISTS pages)
  get_filename_component(name "${page}" NAME)
  taloma_gzip("${page}" "${doc_dir}/${name}.gz")
  list(APPEND manuals "${doc_dir}/${name}.gz")
endforeach()
add_custom_target(taloma_docs ALL DEPENDS "${doc_dir}/changelog.gz" ${manuals})
# Each Debian package carries the copyright and the changelog in its own folder.
set(TALOMA_DEB_COMPONENTS program library development python postgres)
set(TALOMA_DEB_NAMES taloma libtaloma1 libtaloma-dev python3-taloma
    postgresql-${TALOMA_POSTGRES_MAJOR}-taloma)
foreach(component name IN ZIP_LISTS TALOMA_DEB_COMPONENTS TALOMA_DEB_NAMES)
  if(component STREQUAL "program" OR (component STREQUAL "python" AND TARGET taloma_python) OR
     (component STREQUAL "postgres" AND TARGET taloma_postgres) OR
     (component MATCHES "library|development" AND TARGET taloma_library))
    install(FILES "${doc_dir}/copyright" "${doc_dir}/changelog.gz"
            DESTINATION "${CMAKE_INSTALL_DATADIR}/doc/${name}" COMPONENT ${component})
  endif()
endforeach()
install(FILES ${manuals} DESTINATION "${CMAKE_INSTALL_MANDIR}/man1")

set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "taloma")
# Three packages: the program, the shared library, and what a program built against it needs.
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL program)
if(TARGET taloma_library)
  list(APPEND CPACK_COMPONENTS_ALL library development)
endif()
if(TARGET taloma_python)
  list(APPEND CPACK_COMPONENTS_ALL python)
endif()
if(TARGET taloma_postgres)
  list(APPEND CPACK_COMPONENTS_ALL postgres)
endif()
set(CPACK_DEBIAN_PROGRAM_PACKAGE_NAME "taloma")
set(CPACK_DEBIAN_LIBRARY_PACKAGE_NAME "libtaloma1")
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME "libtaloma-dev")
set(CPACK_DEBIAN_PYTHON_PACKAGE_NAME "python3-taloma")
set(CPACK_DEBIAN_PYTHON_PACKAGE_SECTION "python")
set(CPACK_DEBIAN_PYTHON_PACKAGE_DEPENDS "python3 (>= 3.11), python3 (<< 3.12)")
set(CPACK_DEBIAN_PYTHON_PACKAGE_RECOMMENDS "python3-pandas, python3-distributed, python3-fsspec")
# Byte-compiled when installed and its byte code removed first when removed (py3compile, py3clean).
set(CPACK_DEBIAN_PYTHON_PACKAGE_CONTROL_EXTRA
    "${CMAKE_CURRENT_LIST_DIR}/debian/python3-taloma/postinst"
    "${CMAKE_CURRENT_LIST_DIR}/debian/python3-taloma/prerm")
string(CONCAT CPACK_DEBIAN_PYTHON_DESCRIPTION
    "Taiwanese identity-card numbers for Python\n"
    "The Python module taloma checks, generates, finds and masks Taiwanese\n"
    "identity-card and resident-certificate numbers and the other numbers a\n"
    "form asks for, a list at a time or as a pandas column's accessor, and\n"
    "with taloma.dask scans and redacts files across a Dask cluster.")
# The extension, named as Debian names them after the server's major version.
set(CPACK_DEBIAN_POSTGRES_PACKAGE_NAME "postgresql-${TALOMA_POSTGRES_MAJOR}-taloma")
set(CPACK_DEBIAN_POSTGRES_PACKAGE_SECTION "database")
set(CPACK_DEBIAN_POSTGRES_PACKAGE_DEPENDS "postgresql-${TALOMA_POSTGRES_MAJOR}")
string(CONCAT CPACK_DEBIAN_POSTGRES_DESCRIPTION
    "Taiwanese identity-card numbers for PostgreSQL ${TALOMA_POSTGRES_MAJOR}\n"
    "The extension taloma (CREATE EXTENSION taloma) checks Taiwanese\n"
    "identity-card and resident-certificate numbers and the other numbers a\n"
    "form asks for in SQL: functions for CHECK constraints and expression\n"
    "indexes, a domain for each kind, masking of text, seeded test numbers,\n"
    "and the places and postal districts as tables.")
set(CPACK_DEBIAN_PROGRAM_PACKAGE_SECTION "utils")
set(CPACK_DEBIAN_LIBRARY_PACKAGE_SECTION "libs")
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION "libdevel")
# The static library links libcrypto, which libssl-dev brings.
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DEPENDS "libtaloma1 (= ${TALOMA_VERSION_TEXT}), libssl-dev")
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
# The linker cache is refreshed by dpkg's ldconfig trigger, not by scripts that call ldconfig.
set(CPACK_DEBIAN_LIBRARY_PACKAGE_CONTROL_EXTRA
    "${CMAKE_CURRENT_LIST_DIR}/debian/libtaloma1/triggers"
    "${CMAKE_CURRENT_LIST_DIR}/debian/libtaloma1/postinst"
    "${CMAKE_CURRENT_LIST_DIR}/debian/libtaloma1/postrm")
if(TARGET taloma_library)
  install(FILES "${CMAKE_CURRENT_LIST_DIR}/debian/libtaloma1/lintian-overrides"
          DESTINATION "${CMAKE_INSTALL_DATADIR}/lintian/overrides" RENAME libtaloma1
          COMPONENT library)
endif()
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
string(CONCAT CPACK_DEBIAN_LIBRARY_DESCRIPTION
    "Taiwanese identity-card numbers for programs (shared library)\n"
    "libtaloma checks, generates, finds and masks Taiwanese identity-card and\n"
    "resident-certificate numbers and the other numbers a form asks for\n"
    "(business numbers, certificate numbers, e-invoice carrier and donation\n"
    "codes, mobile numbers), and lists places and postal districts.")
string(CONCAT CPACK_DEBIAN_DEVELOPMENT_DESCRIPTION
    "Taiwanese identity-card numbers for programs (development files)\n"
    "The C header, the static library, the CMake package (find_package(Taloma)\n"
    "giving Taloma::taloma) and the pkg-config file of libtaloma, which\n"
    "checks, generates, finds and masks Taiwanese identity-card numbers and\n"
    "the other numbers a form asks for.")
set(CPACK_PACKAGE_VERSION "${TALOMA_VERSION_TEXT}")
set(CPACK_PACKAGE_VENDOR "Taloma")
set(CPACK_PACKAGE_CONTACT "${TALOMA_CONTACT_ADDRESS}")
# Each package's description starts with its own summary line: CPack puts the package summary
# before them all unless it is CPack's own default.
set(program_summary "Taiwanese identity-card number producer and checker")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${CMAKE_PROJECT_NAME} built using CMake")
# Wrapped by hand: dpkg shows the lines as they are.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Taloma (身分證字號產生器) produces batches of Taiwanese identity-card\n"
    "numbers that satisfy the check-digit rule, checks typed numbers rule by\n"
    "rule, copies numbers to the clipboard and lists the postal codes of\n"
    "every place. Its command-line companion, taloma-id, checks, generates\n"
    "and lists numbers in bulk, resident-certificate numbers included.")
# The program's package: the summary, then the text.
set(CPACK_DEBIAN_PROGRAM_DESCRIPTION "${program_summary}\n${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Taloma developers <${TALOMA_CONTACT_ADDRESS}>")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${TALOMA_HOMEPAGE}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The libraries come from dpkg-shlibdeps; Qt loads its window-system plugin and the window needs a
# face with Traditional-Chinese glyphs, and neither shows up among the linked libraries.
set(CPACK_DEBIAN_PROGRAM_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-arphic-uming | fonts-noto-cjk")
include(CPack)
