# cmake -DSRC=... -DDST=... -P CopyIfMissing.cmake
# Stages a delivered file without ever replacing one the program has been working in.
if(NOT EXISTS "${DST}")
  get_filename_component(dir "${DST}" DIRECTORY)
  file(MAKE_DIRECTORY "${dir}")
  file(COPY_FILE "${SRC}" "${DST}")
endif()
