# Compiles the Windows version record with a resource compiler and reads the result back.
# cmake -DRC=<llvm-rc or windres> -DPYTHON=... -DSOURCE_DIR=... -DBUILD_DIR=... -DWORK_DIR=...
#       -DVERSION_TEXT=... -P check_version_record.cmake
cmake_minimum_required(VERSION 3.25)

file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")
execute_process(COMMAND "${PYTHON}" "${SOURCE_DIR}/resources/draw_pictures.py" --ico
                        "${WORK_DIR}/taloma.ico" COMMAND_ERROR_IS_FATAL ANY)

set(res "${WORK_DIR}/taloma.res")
get_filename_component(rc_name "${RC}" NAME)
if(rc_name MATCHES "windres")
  # No MinGW compiler here to preprocess with; the host's preprocessor does as well.
  set(compile "${RC}" --preprocessor=cpp -I "${WORK_DIR}" -O res -o "${res}")
else()
  # This llvm-rc does not read the code-page pragma, so it is told the code page.
  # It also takes a leading slash for an option (/C is the code page), so an
  # absolute path such as /check/... would be misread without the "--".
  set(compile "${RC}" -C 65001 -I "${WORK_DIR}" -fo "${res}" --)
endif()
execute_process(COMMAND ${compile} "${BUILD_DIR}/resources/taloma.rc"
                RESULT_VARIABLE failed OUTPUT_VARIABLE log ERROR_VARIABLE log)
if(failed)
  message(FATAL_ERROR "${rc_name} could not compile taloma.rc:\n${log}")
endif()
file(READ "${res}" binary HEX)

function(utf16 out text)
  string(HEX "${text}" hex)
  string(REGEX REPLACE "(..)" "\\100" hex "${hex}")
  set(${out} "${hex}" PARENT_SCOPE)
endfunction()

utf16(product_name "ProductName")
utf16(taloma "Taloma")
utf16(file_version "FileVersion")
utf16(product_version "ProductVersion")
utf16(version "${VERSION_TEXT}")
utf16(language_block "040404b0")
# A value follows its key's terminating zero, padded to a multiple of four bytes.
set(then "0000(0000)?")
set(expected
  "${product_name}${then}${taloma}0000"
  "${file_version}${then}${version}0000"
  "${product_version}${then}${version}0000"
  "${language_block}"
  # 身分證字號產生器 in UTF-16LE, the file description
  "ab8e0652498b575b5f8622751f756856"
  # Translation: language 0x0404 (Chinese, Taiwan), code page 1200 (Unicode)
  "0404b004"
  # VS_FIXEDFILEINFO: signature, structure version, file version 2.0.0.0, product version 2.0.0.0
  "bd04effe0000010000000200000000000000020000000000"
  # The 32x32 icon's bitmap header: 40 bytes, 32 wide, twice 32 high for colour and mask
  "280000002000000040000000")
foreach(pattern IN LISTS expected)
  if(NOT binary MATCHES "${pattern}")
    message(FATAL_ERROR "the compiled version record lacks ${pattern}")
  endif()
endforeach()

file(READ "${BUILD_DIR}/generated/resources/version.h" header)
if(NOT header MATCHES "kProductName = \"Taloma\"" OR
   NOT header MATCHES "kVersion = \"${VERSION_TEXT}\"")
  message(FATAL_ERROR "resources/version.h does not agree with the version record")
endif()
