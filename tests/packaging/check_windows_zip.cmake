# Makes the Windows zip with CPack and checks its layout: one folder named as the zip, holding the
# programs and their texts, the texts with Windows' line ends.
# cmake -DBUILD_DIR=... -DWORK_DIR=... -DCPACK=... -DWINDOW=ON|OFF -P check_windows_zip.cmake
cmake_minimum_required(VERSION 3.25)

file(REMOVE_RECURSE "${WORK_DIR}")
execute_process(COMMAND "${CPACK}" -G ZIP --config "${BUILD_DIR}/CPackConfig.cmake" -B "${WORK_DIR}"
                RESULT_VARIABLE failed OUTPUT_VARIABLE log ERROR_VARIABLE log)
if(failed)
  message(FATAL_ERROR "cpack failed:\n${log}")
endif()
file(GLOB zip "${WORK_DIR}/*.zip")
get_filename_component(name "${zip}" NAME_WLE)
file(ARCHIVE_EXTRACT INPUT "${zip}" DESTINATION "${WORK_DIR}/unzipped")
file(GLOB top RELATIVE "${WORK_DIR}/unzipped" "${WORK_DIR}/unzipped/*")
if(NOT top STREQUAL name)
  message(FATAL_ERROR "${zip} should hold one folder, ${name}, and holds: ${top}")
endif()

set(texts README.txt LICENSE.txt taloma-id.txt)
set(files taloma-id.exe)
if(WINDOW)
  list(APPEND texts LICENCES.txt)
  list(APPEND files taloma.exe taloma-source.tar.gz licenses)
endif()
foreach(file IN LISTS texts files)
  if(NOT EXISTS "${WORK_DIR}/unzipped/${name}/${file}")
    message(FATAL_ERROR "${zip} lacks ${name}/${file}")
  endif()
endforeach()
# (file(READ) would drop the carriage returns.)
foreach(text IN LISTS texts)
  execute_process(COMMAND grep -c -v "\r$" "${WORK_DIR}/unzipped/${name}/${text}"
                  OUTPUT_VARIABLE lines OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT lines STREQUAL "0")
    message(FATAL_ERROR "${text}: ${lines} lines do not end in CR LF")
  endif()
endforeach()
