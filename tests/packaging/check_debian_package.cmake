# Builds the Debian package with CPack and checks its control fields and its files.
# cmake -DBUILD_DIR=... -DWORK_DIR=... -DCPACK=... -DAPP_ID=... -DVERSION_TEXT=...
#       [-DPOSTGRES=postgresql-15-taloma] -P check_debian_package.cmake
cmake_minimum_required(VERSION 3.25)

find_program(DPKG_DEB dpkg-deb)
if(NOT DPKG_DEB)
  message(FATAL_ERROR "dpkg-deb is missing; run scripts/test")
endif()

file(REMOVE_RECURSE "${WORK_DIR}")
execute_process(COMMAND "${CPACK}" -G DEB --config "${BUILD_DIR}/CPackConfig.cmake" -B "${WORK_DIR}"
                RESULT_VARIABLE failed OUTPUT_VARIABLE log ERROR_VARIABLE log)
if(failed)
  message(FATAL_ERROR "cpack failed:\n${log}")
endif()
# The program, the shared library, its development files, the Python module, and the PostgreSQL
# extension when POSTGRES names its package.
file(GLOB all_packages "${WORK_DIR}/*.deb")
file(GLOB packages "${WORK_DIR}/taloma_*.deb")
file(GLOB library "${WORK_DIR}/libtaloma1_*.deb")
file(GLOB development "${WORK_DIR}/libtaloma-dev_*.deb")
file(GLOB python "${WORK_DIR}/python3-taloma_*.deb")
set(checks "${library}|usr/lib/[a-z0-9_-]+/libtaloma\\.so\\.1 -> |Section: libs"
           "${development}|usr/include/taloma/taloma\\.h\n.*cmake/Taloma/TalomaConfig\\.cmake\n.*libtaloma\\.so -> .*pkgconfig/taloma\\.pc|Depends: libtaloma1 \\(= ${VERSION_TEXT}\\)"
           "${python}|usr/lib/python3/dist-packages/taloma/_taloma[^\n]*\\.so\n.*taloma/dask\\.py|Section: python")
set(expected 4)
if(POSTGRES)
  file(GLOB postgres "${WORK_DIR}/${POSTGRES}_*.deb")
  list(APPEND checks "${postgres}|usr/lib/postgresql/[0-9]+/lib/taloma\\.so\n.*extension/taloma\\.control|Depends: postgresql-[0-9]+,")
  set(expected 5)
endif()
list(LENGTH all_packages count)
if(NOT count EQUAL expected OR NOT packages OR NOT library OR NOT development OR NOT python OR
   (POSTGRES AND NOT postgres))
  message(FATAL_ERROR "expected taloma, libtaloma1, libtaloma-dev, python3-taloma and ${POSTGRES}, found: ${all_packages}")
endif()
foreach(check IN LISTS checks)
  string(REPLACE "|" ";" check "${check}")
  list(GET check 0 package)
  list(GET check 1 path)
  list(GET check 2 field)
  execute_process(COMMAND "${DPKG_DEB}" --contents "${package}" OUTPUT_VARIABLE listing
                  COMMAND_ERROR_IS_FATAL ANY)
  execute_process(COMMAND "${DPKG_DEB}" --field "${package}" Section Depends
                  OUTPUT_VARIABLE control COMMAND_ERROR_IS_FATAL ANY)
  if(NOT listing MATCHES "${path}" OR NOT control MATCHES "${field}")
    message(FATAL_ERROR "${package} lacks '${path}' or '${field}':\n${control}${listing}")
  endif()
endforeach()

# python3-taloma byte-compiles the module when installed and removes the byte code when removed.
foreach(script "postinst|py3compile" "prerm|py3clean")
  string(REPLACE "|" ";" script "${script}")
  list(GET script 0 name)
  list(GET script 1 tool)
  execute_process(COMMAND "${DPKG_DEB}" --info "${python}" ${name} OUTPUT_VARIABLE text)
  if(NOT text MATCHES "\n +${tool} -p python3-taloma\n")
    message(FATAL_ERROR "python3-taloma's ${name} does not call ${tool}:\n${text}")
  endif()
endforeach()

execute_process(COMMAND "${DPKG_DEB}" --field "${packages}" Package Version Section Homepage Depends
                OUTPUT_VARIABLE fields COMMAND_ERROR_IS_FATAL ANY)
foreach(pattern "Package: taloma\n" "Version: ${VERSION_TEXT}\n" "Section: utils\n"
                "Homepage: [^\n]+\n"
                "Depends: [^\n]*libqt6widgets6" "Depends: [^\n]*qt6-qpa-plugins"
                "Depends: [^\n]*fonts-arphic-uming")
  if(NOT fields MATCHES "${pattern}")
    message(FATAL_ERROR "the control fields do not match '${pattern}':\n${fields}")
  endif()
endforeach()

execute_process(COMMAND "${DPKG_DEB}" --contents "${packages}" OUTPUT_VARIABLE contents
                COMMAND_ERROR_IS_FATAL ANY)
foreach(path usr/bin/taloma usr/bin/taloma-id usr/share/man/man1/taloma-id.1.gz
             usr/share/man/man1/taloma.1.gz usr/share/doc/taloma/copyright
             usr/share/doc/taloma/changelog.gz usr/share/bash-completion/completions/taloma-id
             usr/share/applications/taloma.desktop
             usr/share/icons/hicolor/32x32/apps/taloma.png
             usr/share/icons/hicolor/64x64/apps/taloma.png
             "usr/share/metainfo/${APP_ID}.metainfo.xml" ${PAGE})
  string(FIND "${contents}" " ./${path}\n" at)
  if(at LESS 0)
    message(FATAL_ERROR "the package lacks /${path}:\n${contents}")
  endif()
endforeach()
if(contents MATCHES "\\.a\n|/include/|/test_")
  message(FATAL_ERROR "the package carries build leftovers:\n${contents}")
endif()

# Debian's own checker: no errors and no warnings. Its informational notes (hardening that the
# build does not ask for, an unneeded .comment section) are left to a distribution's own flags.
find_program(LINTIAN lintian)
if(NOT LINTIAN)
  message(FATAL_ERROR "lintian is missing; run scripts/test")
endif()
execute_process(COMMAND "${LINTIAN}" --allow-root ${all_packages}
                OUTPUT_VARIABLE findings ERROR_VARIABLE findings)
if(findings MATCHES "(^|\n)[EW]: ")
  message(FATAL_ERROR "lintian finds errors or warnings:\n${findings}")
endif()
