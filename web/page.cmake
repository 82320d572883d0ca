# Builds the browser page from the main tree: the same sources configured with Debian's
# emscripten in a tree of their own (build/web-build), and the page installed beside the program.
option(TALOMA_WEB "Build the browser page (needs emscripten)" ON)
find_program(TALOMA_EMCMAKE emcmake)
if(NOT TALOMA_WEB OR NOT TALOMA_EMCMAKE OR CMAKE_CROSSCOMPILING)
  if(TALOMA_WEB)
    message(STATUS "emscripten is not installed: the browser page is not built")
  endif()
  return()
endif()

include(ExternalProject)
include(GNUInstallDirs)
set(TALOMA_WEB_BUILD "${PROJECT_BINARY_DIR}/web-build")
set(TALOMA_PAGE "${TALOMA_WEB_BUILD}/web/taloma.html")
set(TALOMA_SITE "${TALOMA_WEB_BUILD}/web/site")
set(TALOMA_WEB_MODULE "${TALOMA_WEB_BUILD}/web/taloma_page_module.js")
set(TALOMA_NPM_PACKAGE "${TALOMA_WEB_BUILD}/web/npm")
# emscripten's own JavaScript tools need Debian's node modules, which a node from elsewhere does
# not look for.
# The tree builds on its own, not through the outer make's job server, whose descriptors do not
# reach it: with MAKEFLAGS of its own it says nothing about a job server it cannot use.
set(web_env ${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs MAKEFLAGS=--no-print-directory
            --unset=MFLAGS)
ExternalProject_Add(taloma_web
  SOURCE_DIR "${PROJECT_SOURCE_DIR}"
  BINARY_DIR "${TALOMA_WEB_BUILD}"
  CONFIGURE_COMMAND ${web_env} ${TALOMA_EMCMAKE} ${CMAKE_COMMAND} -S "${PROJECT_SOURCE_DIR}"
                    -B "${TALOMA_WEB_BUILD}" -DCMAKE_BUILD_TYPE=MinSizeRel
                    "-DTALOMA_CONTACT_ADDRESS=${TALOMA_CONTACT_ADDRESS}"
                    -DTALOMA_WERROR=${TALOMA_WERROR}
  BUILD_COMMAND ${web_env} ${CMAKE_COMMAND} --build "${TALOMA_WEB_BUILD}"
  INSTALL_COMMAND ""
  BUILD_ALWAYS ON
  BUILD_BYPRODUCTS "${TALOMA_PAGE}" "${TALOMA_WEB_MODULE}" "${TALOMA_SITE}/index.html")
install(FILES "${TALOMA_PAGE}" DESTINATION "${CMAKE_INSTALL_DATADIR}/taloma")
# The same page as a folder for a web server, which a phone can install and open offline.
install(DIRECTORY "${TALOMA_SITE}/" DESTINATION "${CMAKE_INSTALL_DATADIR}/taloma/web")
