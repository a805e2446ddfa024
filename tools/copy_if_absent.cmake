# Copies SRC to DST unless DST exists: settings a user changed in the program folder survive a rebuild.
if(NOT EXISTS "${DST}")
  configure_file("${SRC}" "${DST}" COPYONLY)
endif()
