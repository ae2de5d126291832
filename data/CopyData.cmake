# cmake -DSOURCE_DIR=<data> -DTARGET_DIR=<program folder> -DUSER_FILES=<a;b> -P CopyData.cmake
# Copies every data file below SOURCE_DIR to the same relative place below TARGET_DIR: files
# named in USER_FILES only when the target is missing, all others when they differ. The
# sources of the data generators (generator/) are not data.
cmake_minimum_required(VERSION 3.25)

foreach(var SOURCE_DIR TARGET_DIR)
  if(NOT ${var})
    message(FATAL_ERROR "CopyData.cmake: ${var} is not set")
  endif()
endforeach()

file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/*)
foreach(rel IN LISTS files)
  if(rel STREQUAL "CMakeLists.txt" OR rel MATCHES "\\.cmake$" OR rel MATCHES "^generator/")
    continue()
  endif()
  set(src ${SOURCE_DIR}/${rel})
  set(dst ${TARGET_DIR}/${rel})
  get_filename_component(dst_dir ${dst} DIRECTORY)
  if(rel IN_LIST USER_FILES)
    if(NOT EXISTS ${dst})
      file(MAKE_DIRECTORY ${dst_dir})
      file(COPY_FILE ${src} ${dst})
    endif()
  else()
    file(MAKE_DIRECTORY ${dst_dir})
    file(COPY_FILE ${src} ${dst} ONLY_IF_DIFFERENT)
  endif()
endforeach()
